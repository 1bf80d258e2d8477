#pragma once
// The shared data module: the connection, the main and free transactions and the shared queries.
#include "core/Banco.h"

#include <memory>

namespace vx {

class FtpCliente;

// Administrator account of the database server. The password can be overridden by
// $VORNEX_DB_SENHA or GERAL/DBSENHA (for servers whose SYSDBA password differs).
QString UsuarioBanco();
QString SenhaBanco();
inline constexpr const char* kSenhaBancoPadrao = "masterkey";

class TDMCUNE {
public:
    TDMCUNE();
    ~TDMCUNE();

    // Disconnects if connected, connects to `nome` (GERAL/DATABASE when null) and activates the
    // main transaction. Returns false on failure: `erro` gets the server's message and
    // MensagemFalha() the message to show.
    bool ConectaBanco(const QString& nome, QString* erro = nullptr);
    // Closes the shared queries, rolls back both transactions and detaches.
    void DesconectaBanco();
    // The message for the last failed ConectaBanco (empty after a success) and its cause.
    const QString& MensagemFalha() const { return m_mensagemFalha; }
    FalhaConexao Falha() const { return m_falha; }

    // A missing file (or no name): "Não encontrado arquivo de banco de dados em " + name.
    static QString MensagemFalhaConexao(const QString& nome);
    // The message for `erro`: the text above for a missing file, else a short sentence naming the
    // cause followed by the server's text.
    static QString MensagemFalhaConexao(const QString& nome, const ErroBanco& erro);
    // The cause of `erro`; a local path that does not exist counts as a missing file.
    static FalhaConexao CausaFalha(const QString& nome, const ErroBanco& erro);

    Conexao IBDatabase;
    Transacao IBTransaction{IBDatabase}; // main transaction
    Transacao IBTLivre{IBDatabase};      // free transaction for side lookups
    Consulta IBQuery{IBTransaction};
    Consulta IBQLivre{IBTLivre};
    Consulta IBQMunics{IBTransaction};
    FtpCliente* IdFTP1 = nullptr;        // shared FTP client (owned by the exchange layer)

private:
    QString m_mensagemFalha;
    FalhaConexao m_falha = FalhaConexao::Outra;
};

// The one data module of the run (null until created).
TDMCUNE* DMCUNE();
void DefineDMCUNE(TDMCUNE* dm);

} // namespace vx
