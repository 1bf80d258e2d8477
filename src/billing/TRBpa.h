#pragma once
// The two previews of the production bulletin: BPA-C (production summed by procedure, occupation
// and age, in sheets of 20) and BPA-I (the individualized lines).
#include "billing/Bpa.h"
#include "reports/Relatorio.h"

#include <memory>

namespace vx {

class Transacao;

class TRBpa {
public:
    // "Período: <start> a <end>" and, for PAB or MAC, the kind of procedures.
    static QString Periodo(const QDate& inicio, const QDate& fim, bpa::Exibir exibir);
    static std::shared_ptr<rel::Documento> Consolidado(Transacao& tr, const QDate& inicio, const QDate& fim,
                                                       bpa::Exibir exibir);
    static std::shared_ptr<rel::Documento> Individualizado(Transacao& tr, const QDate& inicio, const QDate& fim,
                                                           bpa::Exibir exibir, qint64 grupo, bool comCns);
};

} // namespace vx
