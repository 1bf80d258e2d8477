#pragma once
// Process-wide start-up values, the installation role and the consortium profile.
#include <QDate>
#include <QString>

namespace vx {

struct Calendario {
    QString inicio;    // "dd/mm/yyyy" or empty
    QString fim;       // "dd/mm/yyyy" or empty
    QString descricao;
};

struct Sessao {
    QString DataAtual;          // working date "dd/mm/yyyy", fixed for the run
    QString UsuarioInstalacao;  // upper-cased GERAL/USUARIO
    QString PerfilConsorcio;    // GERAL/CONSORCIO as read
    QString UsuarioLogado;      // at most 15 characters; empty before login
    Calendario CalendarioAtual;
    bool NtpOk = false;         // the working date came from the network
};

inline constexpr const char* VersaoPrograma = "2.28";

Sessao& SessaoAtual();

// Working date as a QDate (from DataAtual).
QDate DataAtualDate();

// Role letter ('C', 'M', 'E', 'P'; '\0' when the identity is empty) and role code (chars 2–8).
QChar PapelInstalacao();
QString CodigoInstalacao();
bool EhConsorcio();
bool EhMunicipio();
bool EhPrestador(); // entity or professional

// Profile test: the upper-cased profile contains the word.
bool TemPerfil(const QString& palavra);
// The profile test of upgrade step 2.24: compared as written.
bool TemPerfilLiteral(const QString& palavra);

// Reads GERAL/CONSORCIO and GERAL/USUARIO (upper-cased) into the session.
void CarregaIdentidade();

// The 31/07/2012 floor of the network date.
QDate DataMinimaNtp();

// Computes DataAtual: one SNTP request to `servidor` ("host" or "host:port", port 123 by default)
// with the given time-out; a network date before the floor, no answer or any error gives the local
// date. Sets SessaoAtual().DataAtual and NtpOk; returns the date text.
QString CalculaDataAtual(const QString& servidor, int timeoutMs = 5000);

// SNTP request alone: the server's UTC time converted to local time, or an invalid QDateTime.
// The time-out bounds the name lookup and the wait together. Only a server reply (mode 4,
// version 3 or 4, stratum 1-15) from the address asked, echoing our transmit time stamp as its
// originate time stamp and carrying a non-zero transmit time stamp, is taken; anything else is
// ignored while the time-out runs.
QDateTime ConsultaNtp(const QString& servidor, int timeoutMs);

// "dd/mm/yyyy" with day and month zero-padded and the year as its number.
QString NormalizaData(const QDate& d);

} // namespace vx
