#pragma once
// "Listagem de Entidades e Profissionais Cadastrados": the entities with their professionals and,
// when asked, each professional's procedures by group. Closed rows show their name on yellow.
#include "reports/Relatorio.h"

#include <memory>

namespace vx {

class Transacao;

struct FiltroCadProfissionais {
    QString entidade;         // empty or "0": every entity
    bool porNome = false;     // else by code
    bool procedimentos = false;
    bool excluidos = false;   // closed entities, links and procedures too
    bool ocultos = false;     // entities hidden from the municipalities too
};

class TRCadProfissionais {
public:
    static QString Titulo(); // "Listagem de Entidades e Profissionais Cadastrados"
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, const FiltroCadProfissionais& f);
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, const FiltroCadProfissionais& f);
};

} // namespace vx
