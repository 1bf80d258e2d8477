#include "core/RelatorioLogs.h"
#include "core/Banco.h"
#include "core/UFunc.h"

namespace vx {

ConsultaLogs MontaConsultaLogs(const FiltroLogs& f)
{
    QString sql = QStringLiteral("SELECT * FROM LOGS WHERE DATAHORA >= ? and DATAHORA <= ?");
    if (!f.usuario.isEmpty())
        sql += QStringLiteral(" AND USUARIO=") + SqlTexto(f.usuario);
    if (!f.tabela.isEmpty())
        sql += QStringLiteral(" AND TABELA=") + SqlTexto(f.tabela);
    if (!f.operacao.isEmpty())
        sql += QStringLiteral(" AND SITUACAO=") + SqlTexto(f.operacao);
    if (!f.outrasInf.isEmpty())
        sql += QStringLiteral(" AND OUTRASINFO LIKE ") + SqlTexto(QLatin1Char('%') + f.outrasInf + QLatin1Char('%'));
    static const char* ordens[] = {"DATAHORA", "USUARIO", "TABELA", "SITUACAO"};
    sql += QStringLiteral(" ORDER BY ") + QLatin1String(ordens[qBound(0, int(f.ordem), 3)]);
    return {sql, {QVariant(f.dataInicial), QVariant(f.dataFinal)}};
}

namespace {
QStringList distintos(Transacao& tr, const QString& sql, const QString& primeiro)
{
    QStringList r{primeiro};
    Consulta q(tr);
    q.abre(sql);
    while (!q.eof()) {
        const QString v = q.campo(0).texto();
        if (!v.trimmed().isEmpty() && !r.contains(v))
            r << v;
        q.proximo();
    }
    return r;
}
} // namespace

ListasLogs CarregaListasLogs(Transacao& tr)
{
    ListasLogs l;
    l.usuarios = distintos(tr, QStringLiteral("select distinct(usuario) as Usuario from Logs"), QStringLiteral("TODOS"));
    l.tabelas = distintos(tr, QStringLiteral("select distinct(tabela) as Tabela from Logs"), QStringLiteral("TODAS"));
    l.operacoes = distintos(tr, QStringLiteral("select distinct(situacao) as Situacao from Logs"), QStringLiteral("TODAS"));
    return l;
}

QString LinhaFiltroLogs(const QString& dataInicial, const QString& dataFinal, const QString& usuario,
                        const QString& tabela, const QString& operacao)
{
    return QStringLiteral("Período: ") + dataInicial + QStringLiteral(" a ") + dataFinal + QStringLiteral("   Usuário: ")
           + usuario + QStringLiteral("   Tabela: ") + tabela + QStringLiteral("   Operação: ") + operacao;
}

QStringList OrdensLogs()
{
    return {QStringLiteral("Data"), QStringLiteral("Usuário"), QStringLiteral("Tabela"), QStringLiteral("Operação")};
}

} // namespace vx
