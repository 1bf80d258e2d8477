#pragma once
// Catalogue queries and idempotent DDL: each call does nothing when its object already exists.
#include <QString>

namespace vx {

class Transacao;

namespace catalogo {

bool existeTabela(Transacao& tr, const QString& tabela);
bool existeColuna(Transacao& tr, const QString& tabela, const QString& coluna);
bool existeConstraint(Transacao& tr, const QString& nome);
bool existeIndice(Transacao& tr, const QString& nome);
bool existeTrigger(Transacao& tr, const QString& nome);
// A primary key on the table, of any name.
bool temChavePrimaria(Transacao& tr, const QString& tabela);
bool colunaObrigatoria(Transacao& tr, const QString& tabela, const QString& coluna);
// An active before-insert trigger on the table, of any name.
bool temTriggerAntesInsercao(Transacao& tr, const QString& tabela);

// CREATE TABLE <tabela> (<definicao>) unless the table exists.
void criaTabela(Transacao& tr, const QString& tabela, const QString& definicao);
// ALTER TABLE <tabela> ADD <coluna> <tipo> unless the column exists.
void adicionaColuna(Transacao& tr, const QString& tabela, const QString& coluna, const QString& tipo);
// ALTER TABLE <tabela> ADD CONSTRAINT <nome> <definicao> unless the constraint exists.
void adicionaConstraint(Transacao& tr, const QString& tabela, const QString& nome, const QString& definicao);
void removeConstraint(Transacao& tr, const QString& tabela, const QString& nome);
void tornaObrigatoria(Transacao& tr, const QString& tabela, const QString& coluna);
// ALTER TABLE <tabela> ALTER <coluna> TYPE VARCHAR(<tamanho>) when the text column is shorter.
void alargaColuna(Transacao& tr, const QString& tabela, const QString& coluna, int tamanho);
// CREATE [DESCENDING] INDEX <nome> ON <tabela> (<colunas>) unless the index exists.
void criaIndice(Transacao& tr, const QString& nome, const QString& tabela, const QString& colunas,
                bool descendente = false);

} // namespace catalogo
} // namespace vx
