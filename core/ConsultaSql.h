#pragma once
#include <QString>
#include <QVariantList>

// A statement with "?" placeholders and the values bound to them.
struct ConsultaSql {
    QString sql;
    QVariantList parametros;
    bool vacia() const { return sql.isEmpty(); }
};
