#include "billing/Creditos.h"
#include "billing/Faturamento.h"
#include "core/UFunc.h"

#include <QDateTime>
#include <QTime>

namespace vx {

namespace {

const QString kTabelaLog = QStringLiteral("Creditos");
const QString kSus1 = QStringLiteral("SUS1");

QString sqlTipo(const QString& tipo)
{
    if (!TiposCredito().contains(tipo))
        throw ErroValor(QStringLiteral("Tipo de crédito inválido: ") + tipo);
    return SqlTexto(tipo);
}

QString sqlValor(const QString& texto)
{
    const Decimal v = DecimalTexto(texto);
    if (v > kMaximoNumeric10_2 || v < -kMaximoNumeric10_2)
        throw ErroValor(QStringLiteral("Valor Inválido!"));
    return SqlDecimal(v);
}

QString descricaoLog(const Credito& c)
{
    return c.codigo + QLatin1Char('-') + c.tipo + QLatin1Char('-') + c.data + QLatin1Char('-') + c.valor;
}

// The production column that records what each line drew from the source.
QString colunaUso(const QString& tipo)
{
    if (tipo == QLatin1String("SUS1"))
        return QStringLiteral("valorsus1");
    if (tipo == QLatin1String("SUS2"))
        return QStringLiteral("valorsus2");
    if (tipo == QLatin1String("POPULAR"))
        return QStringLiteral("valorPopular");
    throw ErroValor(QStringLiteral("Tipo de crédito inválido: ") + tipo);
}

Decimal usoEntre(Transacao& tr, const QString& coluna, const QString& codigo, const QDateTime& de, const QDateTime& ate)
{
    Consulta q(tr);
    q.abre(QStringLiteral("select sum(mp.%1) as valorgasto").arg(coluna) + kDeLinhasProducao
               + QStringLiteral("where mp.cli_origem=") + SqlTexto(codigo)
               + QStringLiteral(" and mp.realizado='S' and m.databloqueio is null and m.data_importacao between ? and ?"),
           {QVariant(de), QVariant(ate)});
    const Decimal r = q.eof() ? Decimal::cents(0) : q.campo(0).decimal();
    q.fecha();
    return r;
}

} // namespace

const QStringList& TiposCredito()
{
    static const QStringList tipos{QStringLiteral("SUS1"), QStringLiteral("SUS2"), QStringLiteral("POPULAR")};
    return tipos;
}

QString SqlCredito(const QString& codigo, const QString& tipo, const QString& data)
{
    return QStringLiteral("select * from creditos where cli_origem=") + SqlTexto(codigo.trimmed())
           + QStringLiteral(" and tipo=") + SqlTexto(tipo) + QStringLiteral(" and data=") + SqlData(data);
}

std::optional<LinhaCadastro> LeCredito(Transacao& tr, const QString& codigo, const QString& tipo, const QString& data)
{
    return LeLinha(tr, SqlCredito(codigo, tipo, data));
}

QString SqlListaCreditos(const QString& codigo, const QString& tipo)
{
    QString sql = QStringLiteral("select cr.cli_origem, c.nome, cr.tipo, cr.data, cr.valor from creditos cr "
                                 "left outer join clientes c on cr.cli_origem=c.codigo");
    const bool comCodigo = !codigo.trimmed().isEmpty();
    if (comCodigo)
        sql += QStringLiteral(" where cr.cli_origem=") + SqlTexto(codigo.trimmed());
    if (!tipo.isEmpty())
        sql += (comCodigo ? QStringLiteral(" and cr.tipo=") : QStringLiteral(" where cr.tipo=")) + SqlTexto(tipo);
    return sql + QStringLiteral(" order by c.nome");
}

RegistroLog GravaCredito(Transacao& tr, const Credito& c)
{
    return EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("update or insert into creditos (cli_origem, tipo, data, valor, obs) values(")
                  + SqlTexto(c.codigo.trimmed()) + QLatin1Char(',') + sqlTipo(c.tipo) + QLatin1Char(',') + SqlData(c.data)
                  + QLatin1Char(',') + sqlValor(c.valor) + QLatin1Char(',') + SqlTexto(c.obs) + QLatin1Char(')'));
        return RegistroLog{kTabelaLog, QStringLiteral("I"), descricaoLog(c)};
    });
}

RegistroLog ExcluiCredito(Transacao& tr, const Credito& c)
{
    return EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("delete from Creditos where Cli_origem=") + SqlTexto(c.codigo.trimmed())
                  + QStringLiteral(" and Tipo=") + sqlTipo(c.tipo) + QStringLiteral(" and DATA=") + SqlData(c.data));
        return RegistroLog{kTabelaLog, QStringLiteral("E"), descricaoLog(c)};
    });
}

int ImportaSus1UltimoMes(Transacao& tr, const QString& data)
{
    if (SqlData(data) == QLatin1String("null"))
        throw ErroValor(QStringLiteral("Informe a Data do Crédito!"));
    const QDate nova = LeData(data.trimmed());
    if (!nova.isValid())
        throw ErroValor(QStringLiteral("Data Inválida: ") + data);
    int copiados = 0;
    EmTransacao(tr, [&](Consulta& q) {
        struct Ultimo { QString codigo; QDate data; QString valor; }; // valor as its SQL literal
        QVector<Ultimo> ultimos;
        q.abre(QStringLiteral("select cli_origem, data, valor from creditos where tipo=") + SqlTexto(kSus1)
               + QStringLiteral(" order by cli_origem, data desc"));
        for (; !q.eof(); q.proximo()) {
            const QString codigo = q.campo(0).texto();
            if (!ultimos.isEmpty() && ultimos.last().codigo == codigo)
                continue;
            const Campo& v = q.campo(2);
            ultimos.append({codigo, q.campo(1).data(), v.nulo ? QStringLiteral("null") : SqlDecimal(v.decimal())});
        }
        q.fecha();
        for (const Ultimo& u : std::as_const(ultimos)) {
            if (nova < u.data)
                throw ErroValor(QStringLiteral("Data Inválida: ") + data + QStringLiteral(". Já há créditos com data maior: ")
                                + TextoData(u.data));
            // The key would collide: the whole copy is refused rather than half done.
            if (nova == u.data)
                throw ErroValor(QStringLiteral("O município ") + u.codigo + QStringLiteral(" já tem crédito SUS1 em ")
                                + TextoData(u.data) + QStringLiteral(". Nenhum crédito foi copiado."));
            q.executa(QStringLiteral("insert into creditos(cli_origem, tipo, data, valor) values(") + SqlTexto(u.codigo)
                      + QLatin1Char(',') + SqlTexto(kSus1) + QLatin1Char(',') + SqlData(nova) + QLatin1Char(',')
                      + u.valor + QLatin1Char(')'));
            ++copiados;
        }
        return RegistroLog{};
    });
    return copiados;
}

RelatorioCreditos SaldosCreditosMunicipios(Transacao& tr, const QString& tipo, const QDate& inicio, const QDate& fim)
{
    const QString coluna = colunaUso(tipo);
    if (!inicio.isValid() || !fim.isValid())
        throw ErroValor(QStringLiteral("Nenhum calendário de faturamento selecionado."));
    if (fim < inicio)
        throw ErroValor(QStringLiteral("Período do calendário inválido: ") + TextoData(inicio) + QStringLiteral(" a ")
                        + TextoData(fim));
    return Lendo(tr, [&] {
        RelatorioCreditos r;
        {
            Consulta q(tr);
            q.abre(QStringLiteral(" select cr.cli_origem, c.nome, sum(cr.valor) as valor from creditos cr "
                                  " left outer join clientes c on cr.cli_origem=c.codigo "
                                  " where cr.tipo=")
                   + SqlTexto(tipo) + QStringLiteral(" and cr.data <= ") + SqlData(fim)
                   + QStringLiteral(" group by cr.cli_origem, c.nome  order by cr.cli_origem "));
            for (; !q.eof(); q.proximo()) {
                r.linhas.append({q.campo(0).texto(), q.campo(1).texto(), q.campo(2).decimal(), {}, {}});
            }
            q.fecha();
        }
        const QDateTime antesDe(QDate(1900, 1, 1), QTime(0, 1));
        const QDateTime antesAte(inicio.addDays(-1), QTime(23, 59));
        const QDateTime dentroDe(inicio, QTime(0, 1));
        const QDateTime dentroAte(fim, QTime(23, 59));
        for (SaldoCredito& l : r.linhas) {
            l.saldoInicial = (l.saldoInicial - usoEntre(tr, coluna, l.codigo, antesDe, antesAte)).rescaled(2);
            l.valorGasto = usoEntre(tr, coluna, l.codigo, dentroDe, dentroAte).rescaled(2);
            l.saldoFinal = l.saldoInicial - l.valorGasto;
            r.saldoInicial = r.saldoInicial + l.saldoInicial;
            r.valorGasto = r.valorGasto + l.valorGasto;
            r.saldoFinal = r.saldoFinal + l.saldoFinal;
        }
        return r;
    });
}

} // namespace vx
