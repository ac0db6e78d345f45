#pragma once
// The support contact, shown by the about box and by the warnings that ask the user to call for help.
#include <QString>

inline const QString CorreoSoporte = QStringLiteral("soporte@partidex.com.ar");
