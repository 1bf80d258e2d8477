#pragma once
// The authorization and production reports: each is a definition over the band engine built from
// the filter (FiltroAutorizacoes) and streamed from one query.
#include "reports/FiltroAutorizacoes.h"
#include "reports/Relatorio.h"

#include <memory>

namespace vx {

class Transacao;

// "Relação de Autorizações Emitidas" / "Listagem de Procedimentos Realizados": every authorization
// with its procedures and the total value.
class TRAutorizacoes {
public:
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, const FiltroAutorizacoes& f);
};

// Synthetic totals by municipality, entity, professional, group or procedure.
class TRAutorizacoesTot {
public:
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, const FiltroAutorizacoes& f);
};

// Procedures summed per municipality, with subtotals and the grand total.
class TRAutorizacoesPorMunicipio {
public:
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, const FiltroAutorizacoes& f);
};

// Procedures summed per entity (with its professionals); for the billing screen with one
// municipality, that municipality's invoice under the totals.
class TRAutorizacoesPorEntidade {
public:
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, const FiltroAutorizacoes& f);
};

// "Relação de Atendimentos por Município": every realized procedure by municipality or entity,
// glossed lines, subtotals, funding sources, taxes, billing groups and (CULVAR) the receipt text;
// with `comTotais` also the per-procedure totals page.
class TRAutorizacoesPorMunicipioLista {
public:
    static QVector<std::shared_ptr<rel::Parte>> Monta(Transacao& tr, const FiltroAutorizacoes& f, bool comTotais,
                                                      const QDateTime& agora = QDateTime::currentDateTime());
};

// The report the filter asks for (EscolheRelatorio), laid out.
std::shared_ptr<rel::Documento> GeraRelatorioAutorizacoes(Transacao& tr, const FiltroAutorizacoes& f,
                                                          const rel::ProgressoMontagem& progresso = {});
QString TituloRelatorioAutorizacoes(const FiltroAutorizacoes& f);

// The family's page header: the usual one, with the control label (when given) in the place of the
// printing date.
void CabecalhoAutorizacoes(rel::Relatorio& r, const QString& linha1, const QString& titulo, const QString& filtro,
                           const QString& controle = {});

} // namespace vx
