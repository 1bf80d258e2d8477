#pragma once
// "Listagem de Pessoas Cadastradas": every patient by code or by name.
#include "reports/Relatorio.h"

#include <memory>

namespace vx {

class Transacao;

class TRCadPessoas {
public:
    static QString Titulo(); // "Listagem de Pessoas Cadastradas"
    // The listing read on `tr` (the query lives as long as the report).
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, bool porNome);
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, bool porNome);
};

} // namespace vx
