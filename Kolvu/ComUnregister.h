// ComUnregister.h -- asking a self-registering COM server to remove its registration.
#pragma once

// Initialises COM for the call, loads the module with critical-error boxes suppressed
// and calls its DllUnregisterServer export when it has one, then releases everything.
// Returns 1 when the export was called, 0 otherwise (COM refused, not a module, no export).
int UnregisterComServer(const char *pszModulePath);
