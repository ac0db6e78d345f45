#include "fiscal/Empresas.h"

#include <QVariant>

namespace Empresas {

SentenciasCatalogo Sentencias() {
    SentenciasCatalogo s = SentenciasCatalogo::De("EmpresasPropia", "EmpresaPropia", "descEmpresaPropia", "frmEmpresasPropia");
    s.alta = "INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia, RespIVA, EmpresaPropiaEj, "
             "NumEjercicio, CuentaCompras, CuentaVentas, CreditoDefecto, DebitoDefecto) "
             "VALUES (?, ?, Null, Null, Null, Null, Null, Null, Null)";
    return s;
}

Resultado CopioDisposicion(int empresa) {
    return Ejecuto(
        "INSERT INTO PrepararPagina (EmpresaPropia, TipoImpresion, Control, CoordX, CoordY, Ancho, "
        "Alto, TipoLetra, TamanoLetra, Bold, Italic, Underline, Visible, TextoFijo, Recuadro, "
        "FormatoNumero) "
        "SELECT ?, TipoImpresion, Control, CoordX, CoordY, Ancho, Alto, TipoLetra, TamanoLetra, Bold, "
        "Italic, Underline, Visible, TextoFijo, Recuadro, FormatoNumero FROM PrepararPagina "
        "WHERE EmpresaPropia=(SELECT Max(EmpresaPropia) FROM PrepararPagina)",
        {empresa});
}

QList<Opcion> Opciones(const Contexto& ctx) {
    return OpcionesCatalogo(ctx, "EmpresasPropia", "descEmpresaPropia");
}

int DigitoVerificadorCuit(const QString& diezDigitos) {
    static const int pesos[10] = {5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    if (diezDigitos.size() != 10) return -1;
    int suma = 0;
    for (int i = 0; i < 10; ++i) {
        const QChar c = diezDigitos[i];
        if (c < u'0' || c > u'9') return -1;
        suma += (c.unicode() - u'0') * pesos[i];
    }
    const int digito = 11 - suma % 11;
    if (digito == 11) return 0;
    return digito == 10 ? -1 : digito;
}

std::optional<QString> NormalizoCuit(const QString& texto, QString* motivo) {
    const QString t = texto.trimmed();
    if (t.isEmpty()) return QString();
    QString digitos;
    bool soloPermitidos = true;
    for (const QChar c : t) {
        if (c >= u'0' && c <= u'9')
            digitos += c;
        else if (c != u'-' && c != u' ' && c != u'.')
            soloPermitidos = false;
    }
    auto fallo = [&](const QString& m) -> std::optional<QString> {
        if (motivo) *motivo = m;
        return std::nullopt;
    };
    if (!soloPermitidos || digitos.size() != 11)
        return fallo(QString::fromUtf8("el CUIT debe tener 11 dígitos, en la forma XX-XXXXXXXX-X"));
    const QString forma = digitos.left(2) + '-' + digitos.mid(2, 8) + '-' + digitos.right(1);
    const QString base = digitos.left(2) + '-' + digitos.mid(2, 8);
    const int esperado = DigitoVerificadorCuit(digitos.left(10));
    if (esperado < 0)
        return fallo(QString::fromUtf8("el CUIT ") + forma +
                     QString::fromUtf8(" no es válido: ningún dígito verificador corresponde a ") + base);
    if (digitos.right(1).toInt() != esperado)
        return fallo(QString::fromUtf8("el dígito verificador del CUIT ") + forma +
                     QString::fromUtf8(" no es correcto: para ") + base + " corresponde " +
                     QString::number(esperado));
    return forma;
}

Resultado GraboDatosFiscales(int empresa, const QString& cuit, const QString& domicilio) {
    // A typed Null: a server takes an untyped one for no text at all.
    auto textoONulo = [](const QString& t) {
        return t.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(t);
    };
    return Ejecuto("UPDATE EmpresasPropia SET CUIT=?, Domicilio=? WHERE EmpresaPropia=?",
                   {textoONulo(cuit), textoONulo(domicilio.trimmed()), empresa});
}

} // namespace Empresas
