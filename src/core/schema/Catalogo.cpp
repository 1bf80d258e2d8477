#include "core/schema/Catalogo.h"
#include "core/Banco.h"

namespace vx::catalogo {

namespace {
bool existe(Transacao& tr, const QString& sql, const QVariantList& params)
{
    return tr.valor(sql, params).isValid();
}
QString u(const QString& s) { return s.trimmed().toUpper(); }
} // namespace

bool existeTabela(Transacao& tr, const QString& tabela)
{
    return existe(tr, QStringLiteral("select 1 from rdb$relations where rdb$relation_name = ?"), {u(tabela)});
}

bool existeColuna(Transacao& tr, const QString& tabela, const QString& coluna)
{
    return existe(tr, QStringLiteral("select 1 from rdb$relation_fields where rdb$relation_name = ? "
                                     "and rdb$field_name = ?"), {u(tabela), u(coluna)});
}

bool existeConstraint(Transacao& tr, const QString& nome)
{
    return existe(tr, QStringLiteral("select 1 from rdb$relation_constraints where rdb$constraint_name = ?"),
                  {u(nome)});
}

bool existeIndice(Transacao& tr, const QString& nome)
{
    return existe(tr, QStringLiteral("select 1 from rdb$indices where rdb$index_name = ?"), {u(nome)});
}

bool existeTrigger(Transacao& tr, const QString& nome)
{
    return existe(tr, QStringLiteral("select 1 from rdb$triggers where rdb$trigger_name = ?"), {u(nome)});
}

bool temChavePrimaria(Transacao& tr, const QString& tabela)
{
    return existe(tr, QStringLiteral("select 1 from rdb$relation_constraints where rdb$relation_name = ? "
                                     "and rdb$constraint_type = 'PRIMARY KEY'"), {u(tabela)});
}

bool colunaObrigatoria(Transacao& tr, const QString& tabela, const QString& coluna)
{
    const QVariant v = tr.valor(QStringLiteral(
        "select coalesce(rf.rdb$null_flag, f.rdb$null_flag, 0) from rdb$relation_fields rf "
        "join rdb$fields f on f.rdb$field_name = rf.rdb$field_source "
        "where rf.rdb$relation_name = ? and rf.rdb$field_name = ?"), {u(tabela), u(coluna)});
    return v.toInt() == 1;
}

bool temTriggerAntesInsercao(Transacao& tr, const QString& tabela)
{
    // Type 1 = before insert; 17/25/113 combine insert with update/delete (before).
    return existe(tr, QStringLiteral(
        "select 1 from rdb$triggers where rdb$relation_name = ? and coalesce(rdb$trigger_inactive, 0) = 0 "
        "and rdb$trigger_type in (1, 17, 25, 113) and coalesce(rdb$system_flag, 0) = 0"), {u(tabela)});
}

void criaTabela(Transacao& tr, const QString& tabela, const QString& definicao)
{
    if (!existeTabela(tr, tabela))
        tr.executa(QStringLiteral("CREATE TABLE %1 (%2)").arg(tabela, definicao));
}

void adicionaColuna(Transacao& tr, const QString& tabela, const QString& coluna, const QString& tipo)
{
    if (!existeColuna(tr, tabela, coluna))
        tr.executa(QStringLiteral("ALTER TABLE %1 ADD %2 %3").arg(tabela, coluna, tipo));
}

void adicionaConstraint(Transacao& tr, const QString& tabela, const QString& nome, const QString& definicao)
{
    if (!existeConstraint(tr, nome))
        tr.executa(QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 %3").arg(tabela, nome, definicao));
}

void removeConstraint(Transacao& tr, const QString& tabela, const QString& nome)
{
    if (existeConstraint(tr, nome))
        tr.executa(QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2").arg(tabela, nome));
}

void tornaObrigatoria(Transacao& tr, const QString& tabela, const QString& coluna)
{
    if (!colunaObrigatoria(tr, tabela, coluna))
        tr.executa(QStringLiteral("ALTER TABLE %1 ALTER %2 SET NOT NULL").arg(tabela, coluna));
}

void criaIndice(Transacao& tr, const QString& nome, const QString& tabela, const QString& colunas,
                bool descendente)
{
    if (!existeIndice(tr, nome))
        tr.executa(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                       .arg(descendente ? QStringLiteral("DESCENDING ") : QString(), nome, tabela, colunas));
}

void alargaColuna(Transacao& tr, const QString& tabela, const QString& coluna, int tamanho)
{
    const QVariant v = tr.valor(QStringLiteral(
        "select f.rdb$character_length from rdb$relation_fields rf "
        "join rdb$fields f on f.rdb$field_name = rf.rdb$field_source "
        "where rf.rdb$relation_name = ? and rf.rdb$field_name = ?"), {u(tabela), u(coluna)});
    if (v.isValid() && v.toInt() < tamanho)
        tr.executa(QStringLiteral("ALTER TABLE %1 ALTER %2 TYPE VARCHAR(%3)").arg(tabela, coluna).arg(tamanho));
}

} // namespace vx::catalogo
