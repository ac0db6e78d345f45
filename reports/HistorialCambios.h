#pragma once
// The changes of the entries in a period, from the entry history: who changed which entry, when, from
// which workstation, what kind of change, and the debit total before and after.
#include "reports/TablaReporte.h"

#include <QDate>

// The changes made to the entries of a company (0: every company) between two days, both included,
// oldest first. False with the engine's text when the history cannot be read.
bool TablaHistorial(int empresa, const QDate& desde, const QDate& hasta, TablaReporte* tabla, QString* error);
