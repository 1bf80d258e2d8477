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

    // Disconnects if connected, connects to `nome` (GERAL/DATABASE when empty) and activates the
    // main transaction. Returns false and fills `erro` with the server's message on failure.
    bool ConectaBanco(const QString& nome, QString* erro = nullptr);
    // The message shown when the connection fails.
    static QString MensagemFalhaConexao(const QString& nome);

    Conexao IBDatabase;
    Transacao IBTransaction{IBDatabase}; // main transaction
    Transacao IBTLivre{IBDatabase};      // free transaction for side lookups
    Consulta IBQuery{IBTransaction};
    Consulta IBQLivre{IBTLivre};
    Consulta IBQMunics{IBTransaction};
    FtpCliente* IdFTP1 = nullptr;        // shared FTP client (owned by the exchange layer)
};

// The one data module of the run (null until created).
TDMCUNE* DMCUNE();
void DefineDMCUNE(TDMCUNE* dm);

} // namespace vx
