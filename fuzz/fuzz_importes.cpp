// Amounts and dates as typed and as stored: a text either reads as an amount or is refused with a
// reason, and what was read, written in any of the program's forms and read again, is the same amount;
// a date read, shown and stored reads back as the same date.
#include "core/Importe.h"
#include "core/Valores.h"
#include "fuzz/Comun.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

QString Centavos(const Importe& i) {
    return QString::number(i.centavos());
}

void ReleoImporte(const QString& texto, QChar decimal) {
    QString error;
    const auto leido = Importe::Leo(texto, &error, decimal);
    if (!leido) {
        EXIJO(!error.isEmpty(), texto);
        return;
    }
    const Importe i = *leido;
    EXIJO(i.abs().centavos() <= Importe::Maximo, texto + " -> " + Centavos(i));
    const QChar otro = decimal == u',' ? u'.' : u',';
    for (const QString& escrito : {i.Texto(decimal), i.Texto(decimal, otro), i.TextoNumeral(decimal)}) {
        const auto otraVez = Importe::Leo(escrito, nullptr, decimal);
        EXIJO(otraVez && *otraVez == i,
              texto + " -> " + escrito + " -> " + (otraVez ? Centavos(*otraVez) : "nada"));
    }
    // As stored: a decimal text with a point, and the bound value.
    EXIJO(Importe::DeBase(i.TextoPlano()) == i, texto + " -> " + i.TextoPlano());
    EXIJO(Importe::DeBase(i.ValorSql()) == i, texto + " -> " + i.ValorSql().toString());
}

void ReleoFecha(const QString& texto) {
    const QDate d = TextoAFecha(texto);
    if (!d.isValid()) return;
    const QString mostrada = FechaATexto(d);
    EXIJO(TextoAFecha(mostrada) == d, texto + " -> " + mostrada);
    EXIJO(FechaDeBase(FechaSql(d)) == d, texto + " -> " + FechaSql(d).toString());
    EXIJO(FechaATexto(FechaSql(d)) == mostrada, texto);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    PreparoQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    FuzzedDataProvider p(datos, tamano);
    const QChar decimal = p.ConsumeBool() ? u',' : u'.';
    const std::string bytes = p.ConsumeRemainingBytesAsString();
    const QString texto = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    ReleoImporte(texto, decimal);
    ReleoFecha(texto);
    // Whatever an engine hands back as text reads as some amount or date, or as none, without harm.
    Importe::DeBase(QVariant(texto));
    Importe::DeCentavosBase(QVariant(texto));
    FechaDeBase(QVariant(texto));
    NumeroOCero(QVariant(texto));
    return 0;
}
