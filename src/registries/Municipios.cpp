#include "registries/Municipios.h"
#include "core/UFunc.h"
#include "core/UProcuraNome.h"

#include <QRegularExpression>

namespace vx {

namespace {
const QString kTabelaLogLimites = QStringLiteral("CliLimites");

QString onde(const QString& codigo, const QString& periodo)
{
    return QStringLiteral(" where CodCliente=") + SqlTexto(codigo) + QStringLiteral(" and periodo=") + SqlTexto(periodo);
}
} // namespace

QString ItemMunicipio(const QString& cidade, const QString& uf, const QString& codigo)
{
    return cidade.toUpper() + QStringLiteral(" - ") + uf + QStringLiteral(".....(") + ZerosEsquerda(codigo.trimmed(), 7) +
           QLatin1Char(')');
}

QString CodigoDoItem(const QString& item)
{
    if (!item.endsWith(QLatin1Char(')')) || item.size() < 8)
        return {};
    return item.mid(item.size() - 8, 7);
}

QStringList ItensMunicipios(Transacao& tr)
{
    QStringList r;
    for (const LinhaCadastro& l : LeLinhas(tr, QStringLiteral("select * from ibgemunic order by cidade")))
        r << ItemMunicipio(l.texto(QStringLiteral("CIDADE")), l.texto(QStringLiteral("UF")), l.texto(QStringLiteral("CODIGO")));
    return r;
}

QString MensagemSemMunicipio()
{
    return QStringLiteral("Escolha o Município na lista!");
}

bool CobrancaValida(const QString& forma)
{
    return forma.isEmpty() || forma == QLatin1String("B") || forma == QLatin1String("R") || forma == QLatin1String("A");
}

void GravaMunicipio(Transacao& tr, const Municipio& m)
{
    const QString codigo = m.codigo.trimmed();
    if (codigo.isEmpty())
        throw ErroValor(MensagemSemMunicipio());
    // SqlInteiro checks the digits; an empty or zero population is written as 0, not null.
    QString populacao = SqlInteiro(m.populacao);
    if (populacao == QLatin1String("null"))
        populacao = QStringLiteral("0");
    EmTransacao(tr, [&](Consulta& q) {
        const QString nome = NomePorCodigo(q, codigo, QStringLiteral("codigo"), QStringLiteral("cidade"),
                                           QStringLiteral("ibgemunic"));
        const QString apac = m.apac ? QStringLiteral("'S'") : QStringLiteral("'N'");
        // Values in the order of the insert; the update assigns the same ones.
        const QStringList valores{SqlTexto(codigo), SqlTexto(nome), SqlTexto(m.endereco), SqlTexto(m.endNum),
                                  SqlTexto(m.bairro), SqlTexto(m.cep), SqlTexto(m.contato), SqlTexto(m.fones),
                                  SqlTexto(m.cnpj), populacao, apac, SqlTexto(m.boleto),
                                  SqlTexto(m.leiAutorizativa), SqlTexto(m.apelido), SqlTexto(m.cobrProducao),
                                  SqlTexto(m.cobrTaxa), SqlDecimal(m.valorTaxa), SqlTexto(m.codContTaxa),
                                  SqlTexto(m.codContProd), SqlTexto(m.mostrarValor), SqlTexto(m.obs)};
        static const QStringList colunas{
            QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("endereco"), QStringLiteral("endnum"),
            QStringLiteral("bairro"), QStringLiteral("cep"), QStringLiteral("contato"), QStringLiteral("fones"),
            QStringLiteral("cnpj"), QStringLiteral("populacao"), QStringLiteral("APAC"), QStringLiteral("Boleto"),
            QStringLiteral("LeiAutorizativa"), QStringLiteral("Apelido"), QStringLiteral("CobrProducao"),
            QStringLiteral("CobrTaxa"), QStringLiteral("ValorTaxa"), QStringLiteral("CodContTaxa"),
            QStringLiteral("CodContProd"), QStringLiteral("MostrarValor"), QStringLiteral("obs")};
        if (ExisteLinha(q, QStringLiteral("clientes"), QStringLiteral("codigo=") + SqlTexto(codigo))) {
            QStringList sets;
            for (int i = 1; i < colunas.size(); ++i)
                sets << colunas[i] + QLatin1Char('=') + valores[i];
            q.executa(QStringLiteral("update clientes set\n") + sets.join(QStringLiteral(",\n")) +
                      QStringLiteral("\nwhere codigo=") + SqlTexto(codigo));
        } else {
            q.executa(QStringLiteral("insert into clientes(") + colunas.join(QStringLiteral(", ")) +
                      QStringLiteral(") values(") + valores.join(QLatin1Char(',')) + QLatin1Char(')'));
        }
        return RegistroLog{};
    });
}

QString ImpedimentoExclusao(Transacao& tr, const QString& codigo)
{
    const QString c = SqlTexto(codigo.trimmed());
    return Lendo(tr, [&] {
        Consulta q(tr);
        if (ExisteLinha(q, QStringLiteral("marcacao"), QStringLiteral("cli_origem=") + c))
            return QStringLiteral("Este Município possui autorizações registradas e não pode ser excluído!");
        if (ExisteLinha(q, QStringLiteral("clilimites"), QStringLiteral("codcliente=") + c))
            return QStringLiteral("Este Município possui limites financeiros registrados e não pode ser excluído!");
        return QString();
    });
}

void ExcluiMunicipio(Transacao& tr, const QString& codigo)
{
    const QString c = codigo.trimmed();
    if (c.isEmpty())
        throw ErroValor(MensagemSemMunicipio());
    EmTransacao(tr, [&](Consulta& q) {
        if (const QString r = ImpedimentoExclusao(tr, c); !r.isEmpty())
            throw ErroValor(r);
        q.executa(QStringLiteral("delete from clientes where codigo=") + SqlTexto(c));
        return RegistroLog{};
    });
}

LimiteMes LeLimite(Transacao& tr, const QString& codigo, const QString& periodo)
{
    LimiteMes r;
    if (const auto l = LeLinha(tr, QStringLiteral("select valor, obs from CliLimites") + onde(codigo, periodo))) {
        r.valor = (*l)[QStringLiteral("VALOR")].decimal();
        r.obs = l->texto(QStringLiteral("OBS"));
    }
    return r;
}

QString RecusaLancamento(const LancamentoLimite& l)
{
    if (l.codigo.trimmed().isEmpty())
        return MensagemSemMunicipio();
    static const QRegularExpression mes(QStringLiteral("^\\d\\d-\\d\\d\\d\\d$"));
    if (!mes.match(l.periodo).hasMatch())
        return QStringLiteral("Informe o Período (MM-AAAA)!");
    try {
        const Decimal v = DecimalTexto(l.acrescentar);
        if (v > kMaximoNumeric10_2 || v < -kMaximoNumeric10_2)
            return QStringLiteral("Valor Inválido!");
    } catch (const ErroValor&) {
        return QStringLiteral("Valor Inválido!");
    }
    return {};
}

RegistroLog GravaLimite(Transacao& tr, const LancamentoLimite& l, const QDate& hoje, Decimal* novoLimite)
{
    if (const QString r = RecusaLancamento(l); !r.isEmpty())
        throw ErroValor(r);
    const QString codigo = l.codigo.trimmed();
    const Decimal acrescimo = DecimalTexto(l.acrescentar).rescaled(2);
    Decimal novo;
    const RegistroLog log = EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("insert into lanclimites(CODCLIENTE, PERIODO, DATALANC, VALOR, OBS) values(") +
                  QStringList{SqlTexto(codigo), SqlTexto(l.periodo), SqlData(hoje), SqlDecimal(acrescimo),
                              SqlTexto(l.justificativa)}
                      .join(QLatin1Char(',')) +
                  QLatin1Char(')'));
        // The limit in force now, so that the journal always adds up to it.
        q.abre(QStringLiteral("select * from CliLimites") + onde(codigo, l.periodo));
        const bool existe = !q.eof();
        const Decimal atual = existe ? q.campo(QStringLiteral("VALOR")).decimal() : Decimal::cents(0);
        q.fecha();
        novo = (atual + acrescimo).rescaled(2);
        if (novo > kMaximoNumeric10_2 || novo < -kMaximoNumeric10_2)
            throw ErroValor(QStringLiteral("Valor Inválido!"));
        if (existe)
            q.executa(QStringLiteral("update CliLimites set Valor=") + SqlDecimal(novo) + QStringLiteral(", Obs=") +
                      SqlTexto(l.obs) + onde(codigo, l.periodo));
        else
            q.executa(QStringLiteral("insert into CliLimites(CodCliente, Periodo, Valor, Obs) values(") +
                      QStringList{SqlTexto(codigo), SqlTexto(l.periodo), SqlDecimal(novo), SqlTexto(l.obs)}.join(
                          QLatin1Char(',')) +
                      QLatin1Char(')'));
        return RegistroLog{kTabelaLogLimites, existe ? QStringLiteral("U") : QStringLiteral("I"),
                           DescricaoLog(codigo, l.nome, 20) + QStringLiteral("=//=") +
                               FormataValor(novo, QStringLiteral("#######0.00"))};
    });
    if (novoLimite)
        *novoLimite = novo;
    return log;
}

QStringList ConsultaLimites(Transacao& tr, const QString& codigo)
{
    QStringList r;
    for (const LinhaCadastro& l :
         LeLinhas(tr, QStringLiteral("select first 30 * from clilimites where codcliente=") + SqlTexto(codigo.trimmed())))
        r << l.texto(QStringLiteral("PERIODO")) + QStringLiteral(": R$ ") + FormataMoeda(l[QStringLiteral("VALOR")].decimal());
    return r;
}

} // namespace vx
