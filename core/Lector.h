#pragma once
// A forward reader of a statement's rows that hands out each value as it is stored, without making a
// QVariant (nor, for a text, a QString) of every cell: what the long reports read row by row. Each
// engine gives its own (AlmacenMotor::Leo); the one on QSqlQuery serves any engine.
#include <QByteArray>
#include <QByteArrayView>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVector>

#include <memory>

class Lector {
public:
    virtual ~Lector() = default;
    // The next row; false at the end or on an error (Error() then says which).
    virtual bool Siguiente() = 0;
    virtual bool Nulo(int columna) const = 0;
    virtual qint64 Entero(int columna) const = 0;
    virtual double Real(int columna) const = 0;
    // A text's UTF-8 bytes (a number as its text), good until the next row.
    virtual QByteArrayView Texto(int columna) const = 0;
    // The value as the engine's driver gives it (an integer, a real, a text, a date, or null).
    virtual QVariant Valor(int columna) const = 0;
    // Empty unless the statement failed (to prepare, or while its rows were read).
    virtual QString Error() const = 0;
};

// The reader on Qt's own statement: values come through QVariant.
class LectorConsulta : public Lector {
public:
    explicit LectorConsulta(QSqlQuery&& q) : q(std::move(q)) {}
    bool Siguiente() override;
    bool Nulo(int c) const override { return q.isNull(c); }
    qint64 Entero(int c) const override { return q.value(c).toLongLong(); }
    double Real(int c) const override { return q.value(c).toDouble(); }
    QByteArrayView Texto(int c) const override;
    QVariant Valor(int c) const override { return q.value(c); }
    QString Error() const override;

private:
    QSqlQuery q;
    mutable QVector<QByteArray> textos; // the texts handed out for the current row
};

// A reader that could not start (no connection): no rows, and the reason.
class LectorFallido : public Lector {
public:
    explicit LectorFallido(QString error) : error(std::move(error)) {}
    bool Siguiente() override { return false; }
    bool Nulo(int) const override { return true; }
    qint64 Entero(int) const override { return 0; }
    double Real(int) const override { return 0; }
    QByteArrayView Texto(int) const override { return {}; }
    QVariant Valor(int) const override { return {}; }
    QString Error() const override { return error; }

private:
    QString error;
};
