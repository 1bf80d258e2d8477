#include "core/TRLog.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "reports/UiPreview.h"

namespace vx {

using namespace rel;

std::unique_ptr<Relatorio> TRLog::Monta(Consulta& q, const QString& linhaFiltro)
{
    auto r = std::make_unique<Relatorio>();
    r->dados = std::make_unique<DadosConsulta>(q);
    r->cabecalhoPadrao(Ini().le(QStringLiteral("GERAL"), QStringLiteral("PREFEITURA")),
                       QStringLiteral("RELATÓRIO DE LOG"), linhaFiltro);
    r->coluna(QStringLiteral("Data/Hora"), QStringLiteral("DATAHORA"), 30).formatado(Formato::DataHoraMin);
    r->coluna(QStringLiteral("Ação"), QStringLiteral("SITUACAO"), 10).alinhado(Alinha::Centro);
    r->coluna(QStringLiteral("Usuário"), QStringLiteral("USUARIO"), 30);
    r->coluna(QStringLiteral("Tabela"), QStringLiteral("TABELA"), 32);
    r->coluna(QStringLiteral("Obs"), QStringLiteral("OUTRASINFO"), 0).quebraLinha();
    FonteRelatorio(*r);
    return r;
}

std::shared_ptr<Documento> TRLog::Gera(Transacao& tr, const FiltroLogs& f, const QString& linhaFiltro)
{
    const ConsultaLogs c = MontaConsultaLogs(f);
    Consulta q(tr);
    q.abre(c.sql, c.parametros);
    auto r = Monta(q, linhaFiltro);
    return MontaDocumento(*r);
}

bool TRLog::Executa(Transacao& tr, const FiltroLogs& f, const QString& linhaFiltro, QWidget* pai)
{
    const ConsultaLogs c = MontaConsultaLogs(f);
    Consulta q(tr);
    q.abre(c.sql, c.parametros);
    auto r = Monta(q, linhaFiltro);
    return MostraRelatorio(*r, QStringLiteral("Relatório de Logs"), pai);
}

} // namespace vx
