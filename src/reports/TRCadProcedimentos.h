#pragma once
// "Listagem de Procedimentos Cadastrados": the active procedures of every group (or of one), by
// name, and how many were listed.
#include "reports/Relatorio.h"

#include <memory>

namespace vx {

class Transacao;

class TRCadProcedimentos {
public:
    static QString Titulo(); // "Listagem de Procedimentos Cadastrados"
    // `grupo` empty or "0": every group.
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, const QString& grupo);
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, const QString& grupo);
};

} // namespace vx
