#pragma once
// Authorizations typed at the consortium (or at an entity) already realized: their id, key and
// stamp, the writes of the procedure entry screen (procedures, finalization, printing, deletion,
// the discard of an unfinished one) and the glosa of any stored copy. Every write runs in a fresh
// transaction on the given one, with its audit row, and is committed there.
#include "core/UVariaveis.h"
#include "municipality/Marcacao.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace vx {

class Consulta;
class LinhaCadastro;
class Transacao;

// Who types: the stamp (DATA_IMP_ADM) and the first id of the installation.
struct OrigemDigitacao {
    QString carimbo = QStringLiteral("ADM");
    qint64 base = kPrimeiroNumeroConsorcio;
};
// Consortium ('C'): "ADM" from 1000000; entity ('E'): "E" + code from the code padded to 3
// followed by "0000". Throws ErroValor for an entity code that is not a number.
OrigemDigitacao OrigemDigitacaoDe(QChar papel, const QString& codigo);
// The same for this installation.
OrigemDigitacao OrigemDigitacaoInstalacao();

// Highest id of the municipality from `base` up, plus one; `base` when there is none.
qint64 ProximoIdDigitacao(Consulta& q, const QString& municipio, qint64 base);
// Digits 3–7 of the 7-digit municipality code, "C", the id padded to 7.
QString ChaveDigitacao(const QString& municipio, qint64 id);

// True when `data` lies within the calendar (both ends included), or no calendar is selected.
bool DentroDoCalendario(const Calendario& c, const QDate& data);
bool CalendarioSelecionado(const Calendario& c);

// The header as typed (codes "" or "0": none; dates "dd/mm/yyyy" or the blank mask).
struct Digitacao {
    QString municipio;
    QString paciente, entidade, profissional;
    QString dataLanc;
    QString dataAtend;
    QString cid;
    QString obs;
    QString dataAtual; // working date, stamped with the clock
};

// The authorization on the screen (id 0: none).
struct AutorizacaoDigitada {
    QString municipio;
    qint64 id = 0;
    QString chave;
    QString carimbo;
};

// Adds a procedure, stored realized, to `aberta`, creating the authorization first when it has no
// id (id and key into the result only once committed; a number taken meanwhile is retried).
AutorizacaoDigitada InsereProcedimentoDigitado(Transacao& tr, const Digitacao& d, const AutorizacaoDigitada& aberta,
                                               const OrigemDigitacao& origem, qint64 procedimento, qint64 quantidade,
                                               const QDateTime& agora = QDateTime::currentDateTime());
void ExcluiProcedimentoDigitado(Transacao& tr, const AutorizacaoDigitada& a, qint64 procedimento);
// The header written back over the authorization, audit "U".
void FinalizaDigitacao(Transacao& tr, const Digitacao& d, const AutorizacaoDigitada& a,
                       const QDateTime& agora = QDateTime::currentDateTime());
// Audit "X" of the printed form.
void RegistraImpressaoDigitacao(Transacao& tr, const AutorizacaoDigitada& a);
// The procedures and then the authorization (all three key parts), audit "E" (Excluir) or "D"
// (closed without finalizing).
void ExcluiAutorizacaoDigitada(Transacao& tr, const AutorizacaoDigitada& a);
void DescartaAutorizacaoDigitada(Transacao& tr, const AutorizacaoDigitada& a);
// Block date (the blank mask lifts the glosa) and reason ("0": none) of the copy `a`; the audit
// names the authorization date and the reason's first 10 characters.
void GravaGlosa(Transacao& tr, const AutorizacaoDigitada& a, const QString& dataBloqueio, const QString& motivo,
                const QString& dataLanc, const QString& descricaoMotivo);

// Buscar ID: the first copy of the id, the unblocked one first.
std::optional<LinhaCadastro> LeAutorizacaoDigitada(Transacao& tr, const QString& municipio, const QString& id);
// The grid of the procedures of `a`.
QString SqlGradeDigitacao(const AutorizacaoDigitada& a);

} // namespace vx
