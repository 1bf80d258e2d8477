#pragma once
// Providers under contract (ENTIDADES), their professionals (ENTIDADESPROFISS) and the procedures
// each professional performs for them (PROFISSPROCED). Rows are closed with DATAEXCLUSAO, never
// deleted; adding a closed link again reopens it.
#include "core/Cadastro.h"

namespace vx {

// The screen's texts as typed: masks included, decimals in the Brazilian form, dates dd/mm/yyyy
// (the empty mask for none), flags as ticked.
struct Entidade {
    QString codigo, razaoSocial, nomeFantasia, endereco, codMun, cep, contato, fones, fax, email, cnpj, cpf, ie,
        cnes, issqn, pis, cofins, csll, codContabil, banco, infoBanc, agencia, conta, dataIniContrato,
        dataRenovContrato, dataVencContrato, obs;
    bool isentoIR = false, simplesNac = false, ocultarMunic = false;
};

// Inserts (empty or "0" code: highest code plus one; unknown code: that code) or updates the
// entity; an update reactivates a closed entity (its closed links stay closed). `e.codigo`
// receives the code once committed.
RegistroLog GravaEntidade(Transacao& tr, Entidade& e);
// Closes the entity, its professionals and their procedures with `data`.
RegistroLog ExcluiEntidade(Transacao& tr, const QString& codigo, const QString& razaoSocial, const QDate& data);

// Links (or reopens the link of) a professional to a registered entity.
RegistroLog IncluiProfissionalEntidade(Transacao& tr, const QString& entidade, const QString& profissional);
// Closes the link and the professional's procedures for the entity.
RegistroLog ExcluiProfissionalEntidade(Transacao& tr, const QString& entidade, const QString& profissional,
                                       const QDate& data);

// Adds (or reopens) a procedure of the professional for the entity; with `grupo`, `codigo` is a
// procedure group and every active procedure of it is added (one audit row, even for none).
RegistroLog IncluiProcedimentoProfissional(Transacao& tr, const QString& entidade, const QString& profissional,
                                           const QString& codigo, bool grupo);
// Closes one procedure, or with `grupo` every procedure of that group, of the professional.
RegistroLog ExcluiProcedimentoProfissional(Transacao& tr, const QString& entidade, const QString& profissional,
                                           const QString& codigo, bool grupo, const QDate& data);

// Active professionals of the entity (CODPROFISSIONAL, NOME by name).
QString SqlProfissionaisDaEntidade(const QString& entidade);
// Active procedures of the professional for the entity (CODPROCEDIMENTO, NOME by name, and the
// registry's VALOR).
QString SqlProcedimentosDoProfissional(const QString& entidade, const QString& profissional);

} // namespace vx
