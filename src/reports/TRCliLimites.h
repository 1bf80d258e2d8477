#pragma once
// "Cotas Máximas Cadastradas por Municípios": each municipality with its monthly limits (of one
// year, when given) and the entries that built each limit.
#include "reports/Relatorio.h"

#include <memory>

namespace vx {

class Transacao;

class TRCliLimites {
public:
    static QString Titulo(); // "Cotas Máximas Cadastradas por Municípios"
    // `municipio` empty: all of them; `ano` 0: every period.
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, const QString& municipio, int ano);
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, const QString& municipio, int ano);
};

} // namespace vx
