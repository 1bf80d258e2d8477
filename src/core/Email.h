#pragma once
// Mail over SMTP with implicit TLS (libcurl): the support mailbox account and one sender.
#include <QString>

#include <functional>

namespace vx {

// The support mailbox account: vornex.conf section [EMAIL], keys SERVIDOR, PORTA (465), USUARIO,
// SENHA, REMETENTE (sender address; USUARIO when empty), DESTINATARIO (one address, or several
// separated by "," or ";") and CACERT (a CA file trusted instead of the system's; a relative path is
// taken from the installation folder).
struct ContaEmail {
    QString servidor;
    int porta = 465;
    QString usuario;
    QString senha;
    QString remetente;
    QString destinatario;
    QString certificadoCa;
};
ContaEmail ContaEmailSuporte();

struct Email {
    QString nomeRemetente;           // display name of the sender
    QString assunto;
    QString corpo;                   // plain text
    QString anexo;                   // file attached under its own name (none when empty)
    bool confirmacaoLeitura = false; // asks for a read receipt to the sender
};

// Sends `email` through smtps://server:port with AUTH LOGIN: a text part and the attachment
// (application/octet-stream, base64); From, To, Subject (RFC 2047 when not plain ASCII), Date,
// normal priority and, when asked, Disposition-Notification-To. A connection must be made within
// 30 s and a transfer without progress for 60 s fails. `progresso` (may be empty) is called now and
// then during the transfer; returning false aborts it. "" on success, else the reason.
QString EnviaEmail(const ContaEmail& conta, const Email& email, const std::function<bool()>& progresso = {});

} // namespace vx
