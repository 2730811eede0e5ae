// UninstallState.cpp -- storage and start values of the run's shared record.
#include "UninstallState.h"

UninstallStateRecord UninstallState = {NULL, "", -1, 0, 0, FALSE, "", NULL, NULL, FALSE, FALSE, TRUE, "", NULL, FALSE, FALSE, FALSE};
