// HelpTopic.h -- opens one topic of Brolt.chm beside the program.
#pragma once

// Shows pszTopic ("Step3.htm") of the help file in the program's directory.
// Does nothing, silently, when HTML Help is not available.
void ShowHelpTopic(const char *pszTopic);

// The help path ShowHelpTopic hands to HTML Help: <program dir>\Brolt.chm::/<topic>.
// 0 when it would not fit in cbOut bytes.
int MakeHelpTopicPath(const char *pszTopic, char *pszOut, unsigned cbOut);
