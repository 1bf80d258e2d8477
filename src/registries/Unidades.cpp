#include "registries/Unidades.h"
#include "core/UFunc.h"

namespace vx {

namespace {
const QString kTabelaLog = QStringLiteral("Unidades");
const QString kTabelaLogLimites = QStringLiteral("LimitesUnidades");

RecusaLimite recusa(RecusaLimite::Campo campo, const QString& texto)
{
    return {campo, texto};
}
} // namespace

RegistroLog GravaUnidade(Transacao& tr, QString& codigo, const QString& nome, bool novo)
{
    const QString c = codigo.trimmed();
    QString gravado = c;
    const RegistroLog log = EmTransacao(tr, [&](Consulta& q) {
        if (novo) {
            const QString insert = QStringLiteral("insert into UNIDADES (Codigo, Nome) values(%1,%2)")
                                       .arg(SqlInteiro(c), SqlTexto(nome));
            if (CodigoVazio(c)) {
                q.abre(insert + QStringLiteral(" returning Codigo"));
                gravado = q.campo(0).texto();
                q.fecha();
            } else {
                q.executa(insert);
            }
        } else {
            q.executa(QStringLiteral("update UNIDADES set Nome = %1 where Codigo = %2").arg(SqlTexto(nome), SqlInteiro(c)));
        }
        return RegistroLog{kTabelaLog, novo ? QStringLiteral("I") : QStringLiteral("U"), DescricaoLog(gravado, nome, 20)};
    });
    codigo = gravado;
    return log;
}

RegistroLog ExcluiUnidade(Transacao& tr, const QString& codigo, const QString& nome)
{
    const QString c = codigo.trimmed();
    return EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("delete from UNIDADES where Codigo = %1").arg(SqlInteiro(c)));
        return RegistroLog{kTabelaLog, QStringLiteral("E"), DescricaoLog(c, nome, 20)};
    });
}

QString MensagemSemUnidade()
{
    return QStringLiteral("Informe o código da Unidade!");
}

RecusaLimite ConfereLimite(const LimiteUnidade& l)
{
    if (CodigoVazio(l.unidade))
        return recusa(RecusaLimite::Unidade, MensagemSemUnidade());
    const QDate inicio = LeData(l.dataInicial);
    if (!inicio.isValid())
        return recusa(RecusaLimite::DataInicial, QStringLiteral("Informe uma data inicial válida!"));
    const QDate fim = LeData(l.dataFinal);
    if (!fim.isValid())
        return recusa(RecusaLimite::DataFinal, QStringLiteral("Informe uma data final válida!"));
    if (inicio > fim)
        return recusa(RecusaLimite::DataFinal, QStringLiteral("A data final não pode ser anterior à data inicial!"));
    try {
        const Decimal v = DecimalTexto(l.valor);
        if (v > kMaximoNumeric10_2 || v < -kMaximoNumeric10_2)
            return recusa(RecusaLimite::Valor, QStringLiteral("Valor Inválido!"));
    } catch (const ErroValor&) {
        return recusa(RecusaLimite::Valor, QStringLiteral("Valor Inválido!"));
    }
    return {};
}

RegistroLog GravaLimiteUnidade(Transacao& tr, const LimiteUnidade& l)
{
    if (const RecusaLimite r = ConfereLimite(l); r.campo != RecusaLimite::Nenhum)
        throw ErroValor(r.texto);
    const QString unidade = SqlInteiro(l.unidade);
    const QDate inicio = LeData(l.dataInicial);
    const QDate fim = LeData(l.dataFinal);
    const QString valor = SqlDecimal(l.valor);
    const QString obs = SqlTexto(l.obs);
    return EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("delete from limitesunidades where codunidade=%1 and datainicial >= %2 and datafinal <= %3")
                      .arg(unidade, SqlData(inicio), SqlData(fim)));
        const auto insere = [&](const QDate& de, const QDate& ate) {
            // Joined, not chained through arg(): a typed "%1" in the remark must stay text.
            q.executa(QStringLiteral("insert into limitesunidades(codunidade, datainicial, datafinal, valor, obs) values(") +
                      QStringList{unidade, SqlData(de), SqlData(ate), valor, obs}.join(QLatin1Char(',')) + QLatin1Char(')'));
        };
        if (l.diario)
            for (QDate d = inicio; d <= fim; d = d.addDays(1))
                insere(d, d);
        else
            insere(inicio, fim);
        return RegistroLog{kTabelaLogLimites, QStringLiteral("I"),
                           QStringLiteral("%1-%2 a %3 R$ ").arg(l.unidade.trimmed(), TextoData(inicio), TextoData(fim)) + l.valor};
    });
}

QStringList ConsultaLimitesUnidade(Transacao& tr, const QString& unidade)
{
    QStringList r;
    const auto linhas = LeLinhas(tr, QStringLiteral("select first 20 * from limitesunidades where codunidade=%1 "
                                                    "order by datainicial desc").arg(SqlInteiro(unidade)));
    for (const LinhaCadastro& l : linhas)
        r.append(QStringLiteral("%1 a %2: R$ %3")
                     .arg(TextoData(l[QStringLiteral("DATAINICIAL")].data()), TextoData(l[QStringLiteral("DATAFINAL")].data()),
                          FormataMoeda(l[QStringLiteral("VALOR")].decimal())));
    return r;
}

RegistroLog ApagaCotasUnidade(Transacao& tr, const QString& unidade, const QString& nome)
{
    const QString c = unidade.trimmed();
    if (CodigoVazio(c))
        throw ErroValor(MensagemSemUnidade());
    return EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("delete from limitesunidades where codunidade=%1").arg(SqlInteiro(c)));
        return RegistroLog{kTabelaLogLimites, QStringLiteral("E"), DescricaoLog(c, nome, 20)};
    });
}

} // namespace vx
