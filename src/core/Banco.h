#pragma once
// Thin access layer over the Firebird 3 OO API: connection, transactions, queries.
// SQL is run as text; results come back typed (texts, integers, exact decimals, dates,
// timestamps, blobs as text) with nulls distinguishable.
#include "core/Decimal.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IResultSet;
class IMessageMetadata;
} // namespace Firebird

namespace vx {

// A database error carrying the server's message text.
class ErroBanco : public std::runtime_error {
public:
    ErroBanco(const QString& texto, QVector<qintptr> codigos = {});
    const QString& texto() const { return m_texto; }
    // ISC error codes of the status vector (isc_lock_conflict, isc_unique_key_violation, …).
    const QVector<qintptr>& codigos() const { return m_codigos; }
    bool temCodigo(qintptr codigo) const { return m_codigos.contains(codigo); }
    bool conflitoBloqueio() const; // a nowait write hit another transaction's change
    bool chaveDuplicada() const;   // a primary or unique key refused the row
    // The errno the status vector carried (isc_arg_unix), 0 when none.
    int erroSistema() const { return m_sistema; }
    void defineErroSistema(int e) { m_sistema = e; }

private:
    QString m_texto;
    QVector<qintptr> m_codigos;
    int m_sistema = 0;
};

// Why an attachment failed, told from the error's ISC codes and system error.
enum class FalhaConexao {
    Outra,
    ArquivoAusente,  // the file (or a folder of its path) does not exist
    SenhaRecusada,   // the server refused the user name or password
    EmUso,           // another program holds the file
    SomenteLeitura,  // the file cannot be opened for writing
    Danificado,      // not a database file, or a damaged one
};
FalhaConexao ClassificaFalhaConexao(const ErroBanco& e);

class Conexao {
public:
    Conexao();
    ~Conexao();
    Conexao(const Conexao&) = delete;
    Conexao& operator=(const Conexao&) = delete;

    // "path" opens the file with the embedded engine; "host:path" goes to a server.
    void conecta(const QString& nome, const QString& usuario, const QString& senha);
    void desconecta();
    bool conectado() const { return m_att != nullptr; }
    const QString& nome() const { return m_nome; }

    // Creates an empty dialect-3 database with default character set WIN1252. Forced writes stay
    // on for real databases; throwaway test databases may turn them off.
    static void criaBanco(const QString& nome, const QString& usuario, const QString& senha,
                          bool escritaForcada = true);
    // Turns synchronous writes of an existing database on or off (kept in its header).
    static void defineEscritaForcada(const QString& nome, const QString& usuario, const QString& senha, bool ligada);
    // True when the connection string names a server ("host:path", colon after the 2nd character).
    static bool ehServidor(const QString& nome);

    // Ends the embedded engine cleanly (call once before the process exits).
    static void finaliza();

    Firebird::IAttachment* attachment() const { return m_att; }

private:
    Firebird::IAttachment* m_att = nullptr;
    QString m_nome;
};

// A transaction with the parameters read_committed, rec_version, nowait (write).
// Destroying or restarting an active transaction rolls it back.
class Transacao {
public:
    explicit Transacao(Conexao& con);
    ~Transacao();
    Transacao(const Transacao&) = delete;
    Transacao& operator=(const Transacao&) = delete;

    void inicia();         // rolls back what is open, then starts
    void commit();
    void rollback();        // no-op when not active
    bool ativa() const { return m_tra != nullptr; }
    void garanteAtiva() { if (!m_tra) inicia(); }

    Conexao& conexao() const { return m_con; }
    Firebird::ITransaction* handle() const { return m_tra; }

    // Runs a statement that returns no rows (DML or DDL); starts the transaction when needed.
    void executa(const QString& sql, const QVariantList& params = {});
    // First column of the first row, or an invalid QVariant when there is no row or it is null.
    QVariant valor(const QString& sql, const QVariantList& params = {});

private:
    Conexao& m_con;
    Firebird::ITransaction* m_tra = nullptr;
};

// One column value of the current row.
class Campo {
public:
    enum class Tipo { Nulo, Texto, Inteiro, Decimal, Real, Data, Hora, DataHora, Blob, Booleano };

    QString nome;
    Tipo tipo = Tipo::Nulo;
    bool nulo = true;

    // Null → "". Dates "dd/mm/yyyy", timestamps "dd/mm/yyyy hh:nn:ss", decimals "12,5" (comma),
    // integers as digits.
    QString texto() const;
    qint64 inteiro() const;        // null → 0; decimals truncated
    vx::Decimal decimal() const;   // null → 0
    double real() const;
    QDate data() const;            // null → invalid
    QDateTime dataHora() const;    // null → invalid
    bool booleano() const;
    QVariant variante() const;     // null → invalid QVariant; decimals as QString "12.50"

    // Raw typed storage.
    QString s;
    qint64 i = 0;
    int escala = 0;
    double d = 0;
    QDate dt;
    QTime tm;
};

// A query on a transaction: executa() for statements, abre() for SELECTs (cursor moves with
// proximo()). A query whose transaction is not active starts it.
class Consulta {
public:
    explicit Consulta(Transacao& tr);
    ~Consulta();
    Consulta(const Consulta&) = delete;
    Consulta& operator=(const Consulta&) = delete;

    void executa(const QString& sql, const QVariantList& params = {});
    void abre(const QString& sql, const QVariantList& params = {});
    // Runs the SELECT of the last abre() again with other parameters, without preparing it again
    // (the same statement for many look-ups). The query must still be open (eof is fine).
    void reabre(const QVariantList& params);
    void fecha();
    bool ativa() const { return m_rs != nullptr || m_aberta; }
    bool eof() const { return m_eof; }
    void proximo();

    int numCampos() const { return int(m_campos.size()); }
    const Campo& campo(int i) const { return m_campos.at(size_t(i)); }
    const Campo& campo(const QString& nome) const; // case-insensitive; throws when unknown
    bool temCampo(const QString& nome) const;
    QStringList nomesCampos() const;

    // Convenience: every remaining row.
    QVector<QVector<Campo>> todas();
    QString sql() const { return m_sql; }
    Transacao& transacao() const { return m_tr; }

private:
    void prepara(const QString& sql, const QVariantList& params);
    void leLinha();

    Transacao& m_tr;
    Firebird::IStatement* m_stmt = nullptr;
    Firebird::IResultSet* m_rs = nullptr;
    Firebird::IMessageMetadata* m_meta = nullptr;
    std::vector<unsigned char> m_buf;
    std::vector<Campo> m_campos;
    bool m_eof = true;
    bool m_aberta = false;
    QString m_sql;
};

// One statement prepared once and run many times with positional parameters (bulk updates).
// The transaction must stay the same while the command lives.
class Comando {
public:
    Comando(Transacao& tr, const QString& sql);
    ~Comando();
    Comando(const Comando&) = delete;
    Comando& operator=(const Comando&) = delete;
    void executa(const QVariantList& params);

private:
    Transacao& m_tr;
    Firebird::IStatement* m_stmt = nullptr;
};

// The backup service of the engine (as gbak -se, options ignore-limbo and verbose).
// `servico` is "service_mgr" for the embedded engine or "host:service_mgr"; `banco` the path as
// the engine sees it; `arquivo` a path where the engine writes, or "stdout" to receive the backup
// through `aoDados` (then no verbose lines come). Every line the service reports goes to `aoLinha`.
// Throws ErroBanco with the service's error when the backup failed.
struct BackupServico {
    QString servico;
    QString banco;
    QString arquivo;
    QString usuario;
    QString senha;
    std::function<void(const QString&)> aoLinha;
    std::function<void(const char*, qint64)> aoDados;
};
void ExecutaBackup(const BackupServico& b);

} // namespace vx
