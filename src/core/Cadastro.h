#pragma once
// What every registry shares below its screen: reading one row by key, the write skeleton
// (fresh transaction, statements, audit row, commit; rollback on any error), closing rows with
// DATAEXCLUSAO and the next code as highest plus one.
//
//   const auto r = EmTransacao(dm->IBTransaction, [&](Consulta& q) {
//       q.executa("update ...");
//       return RegistroLog{"Procedimentos", "U", DescricaoLog(codigo, nome, 40)};
//   });
#include "core/Banco.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <functional>
#include <optional>

namespace vx {

// One row: column name (upper case) → value.
class LinhaCadastro {
public:
    LinhaCadastro() = default;
    explicit LinhaCadastro(const Consulta& q);
    bool tem(const QString& coluna) const { return m_campos.contains(coluna.toUpper()); }
    // Unknown columns read as null.
    const Campo& operator[](const QString& coluna) const;
    QString texto(const QString& coluna) const { return (*this)[coluna].texto(); }
    bool nulo(const QString& coluna) const { return (*this)[coluna].nulo; }

private:
    QHash<QString, Campo> m_campos;
};

// Runs the reads of `f` on `tr`, leaving the transaction as it was found: a read started here is
// rolled back (also when `f` throws).
template <class F>
auto Lendo(Transacao& tr, F&& f)
{
    const bool jaAtiva = tr.ativa();
    try {
        auto r = f();
        if (!jaAtiva && tr.ativa())
            tr.rollback();
        return r;
    } catch (...) {
        if (!jaAtiva && tr.ativa())
            tr.rollback();
        throw;
    }
}

// First row of `sql` on `tr` (the transaction is left as it was found: a read started here is
// rolled back). nullopt when there is none.
std::optional<LinhaCadastro> LeLinha(Transacao& tr, const QString& sql);
// The rows of `sql` (same transaction rule).
QVector<LinhaCadastro> LeLinhas(Transacao& tr, const QString& sql);

// The audit row an action leaves.
struct RegistroLog {
    QString tabela;
    QString situacao;
    QString descricao;
};

// Runs `passos` in a fresh transaction on `tr`, writes the audit row they return (none when its
// table is empty) and commits.
// Any exception rolls back and propagates; nothing of the action stays.
RegistroLog EmTransacao(Transacao& tr, const std::function<RegistroLog(Consulta&)>& passos);

// "<code>-<first n characters of the name>".
QString DescricaoLog(const QString& codigo, const QString& nome, int n);

// The working date as the quoted literal the registries write ('MM/dd/yyyy').
QString SqlDataExclusao(const QDate& data);
// "UPDATE <tabela> SET DATAEXCLUSAO=<data> where <condicao>".
void FechaLinhas(Consulta& q, const QString& tabela, const QString& condicao, const QDate& data);
// "<prefixo>dd/mm/yyyy" (prefixo such as "PROCEDIMENTO EXCLUÍDO EM ") for a closed row, empty for
// an active one.
QString AvisoExclusao(const QString& prefixo, const LinhaCadastro& linha);

// Highest CODIGO of `tabela` plus one (1 for an empty table), deleted rows included.
qint64 ProximoCodigo(Consulta& q, const QString& tabela);
// True when "select * from <tabela> where <condicao>" finds a row.
bool ExisteLinha(Consulta& q, const QString& tabela, const QString& condicao);

// Name of `codigo` in `tabela` (NomePorCodigo) read on the free transaction of the data module,
// which is ended afterwards. Empty without a data module.
QString NomeLivre(const QString& codigo, const QString& chave, const QString& nome, const QString& tabela);

// Largest value of a NUMERIC(10,2) column (the engine itself does not hold the column to it).
inline const Decimal kMaximoNumeric10_2 = Decimal::cents(9999999999);

// A code typed into a code field: empty and "0" mean "none".
inline bool CodigoVazio(const QString& codigo)
{
    const QString c = codigo.trimmed();
    return c.isEmpty() || c == QLatin1String("0");
}

} // namespace vx
