#pragma once
// Professionals (PROFISSIONAIS) and their link to one entity (ENTIDADESPROFISS). Rows are closed
// with DATAEXCLUSAO, never deleted; codes are the highest code plus one, closed rows included.
#include "core/Cadastro.h"

namespace vx {

// The screen's texts as typed (CPF with its mask, codes as text).
struct Profissional {
    QString codigo, nome, contato, email, cpf, cartaoSus, cnsBpa, conselho, cbo, codEntidade, obs;
};

// Inserts (empty, "0" or unknown code) or updates the professional; an update reactivates a closed
// one. Outside CUMBEL `cnsBpa` becomes the Cartão SUS. With an entity, the professional's links to
// other entities are deleted (their procedures closed with `data` first) and the link to the
// entity is made sure of. `p.codigo` receives the new code once committed.
RegistroLog GravaProfissional(Transacao& tr, Profissional& p, bool cumbel, const QDate& data);

// Closes the professional, all of its entity links and all of its procedures with `data`.
RegistroLog ExcluiProfissional(Transacao& tr, const QString& codigo, const QString& nome, const QDate& data);

// Entity shown when a professional is loaded: the entity of its only link (empty without links).
// With two or more links it says "Profissional cadastrado em mais que uma Entidade!" and returns
// empty.
QString EntidadeDoProfissional(Transacao& tr, const QString& codigo);

// Active entity links of a professional: COD, ENTIDADE (company name), by company name.
QString SqlEntidadesDoProfissional(const QString& codigo);

} // namespace vx
