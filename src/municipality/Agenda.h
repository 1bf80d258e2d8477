#pragma once
// Agenda of the professionals: availability per day (AG_DISPO), bookings (AGENDA), the queries of
// the booking screen's grids, the writes of both screens and the patient chosen in the search.
// No widgets here: TFAgenda, TFAgendaDispo, TRAgendaProf and the tests call these.
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace vx {

class Consulta;
class Transacao;

inline constexpr const char* kMsgDiaCheio = "Já foi atingido o máximo de agendamentos para este profissional neste dia!";
inline constexpr const char* kMsgMunicipioAntesPaciente = "Informe o município antes cadastrar novo paciente!";
inline constexpr const char* kMsgSemPermissao = "Usuário sem permissão para este recurso!";

// "Domingo" … "Sábado" for 0 … 6 (the engine's weekday numbers); empty for other numbers.
QString NomeDiaSemana(int dia);

// ---- grids of the booking screen ----
// Professionals with availability from today on: COD, NOME, ESPECIALIDADE.
QString SqlProfissionaisAgenda();
// Days of `profissional` from today on with places: DATA, DIASEMANA (its name), MAXIMO, AGENDADOS.
QString SqlDiasProfissional(const QString& profissional);
// Bookings of the day: ID_AGENDA, NOMEPESSOA, NOMECIDADE, QUEMLIGOU.
QString SqlAgendamentosDia(const QString& profissional, const QDate& data);

// A day is full when its bookings reach its places.
inline bool DiaCheio(qint64 maximo, qint64 agendados) { return agendados >= maximo; }

// The day as "Novo Agendamento" sees it.
struct SituacaoDia {
    bool configurado = false; // an AG_DISPO row exists
    qint64 maximo = 0;        // QUANTDISPO (null = 0)
    qint64 agendados = 0;
    QString horaInicio;       // empty without the row
    bool cheio() const { return DiaCheio(maximo, agendados); }
};
SituacaoDia LeSituacaoDia(Transacao& tr, const QString& profissional, const QDate& data);

// ---- bookings ----
// Highest ID_AGENDA plus one (1 for an empty table); ids are global.
qint64 ProximoIdAgenda(Consulta& q);

// A booking as the panel holds it (codes and texts as typed).
struct Agendamento {
    QString profissional;
    QDate data;
    QString municipio;
    QString paciente;
    QString quemLigou;
    QString hora;     // as typed, with its mask characters
    QString obs;
    QDate dataLanc;   // the working date
};
// Fresh transaction: the insert, the audit row ("Agenda", "I",
// "<id>=//=<professional>=//=<day>=//=<municipality>=//=<patient>"), commit. Returns the new id.
// The places are not checked here (only when the panel opens).
qint64 GravaAgendamento(Transacao& tr, const Agendamento& a);
// Fresh transaction: the delete, the audit row ("Agenda", "E", "<id>=//=<professional>=//=<day>"),
// commit.
void ExcluiAgendamento(Transacao& tr, qint64 id, const QString& profissional, const QDate& data);

// Callers of the municipality in the last 90 days (server date), for the "Quem Ligou" list.
QStringList SugestoesQuemLigou(Transacao& tr, const QString& municipio);
// Name of the patient `codigo` of `municipio` (empty when none).
QString NomePaciente(Transacao& tr, const QString& municipio, const QString& codigo);

// ---- patient search ----
// Columns of the patient search: restricted to a municipality the key is the code; over all
// patients the key is the name and the municipality of each row is listed too.
QStringList CamposBuscaPaciente(bool comMunicipio);
QString CondicaoBuscaPaciente(const QString& municipio); // "CLI_ORIGEM=<quoted>"
// The patient of the row chosen in the search over all patients (the shown columns, in list
// order, as the search dialog gives them): its code and municipality.
struct PacienteEscolhido {
    QString municipio;
    QString codigo;
    QString nome;
};
std::optional<PacienteEscolhido> PacienteDaLinha(const QStringList& linhaEscolhida);

// ---- availability ----
// Active professionals whose occupation is not community health agent (no occupation included),
// for the search over v_Profissionais.
QString CondicaoProfissionaisDispo();

struct Disponibilidade {
    QString profissional;
    QDate data;
    QString quantDispo; // empty or "0": no places (null)
    QString horaInicio; // as typed
    QString obs;
};
// "select * from ag_dispo where …": nullopt when the day has no row.
std::optional<Disponibilidade> LeDisponibilidade(Transacao& tr, const QString& profissional, const QDate& data);
// Fresh transaction: "update or insert" of the day, commit. No audit row.
void GravaDisponibilidade(Transacao& tr, const Disponibilidade& d);

// ---- permission ----
// The user's MENUS rows leave the Agenda menu and its "Configurações" item visible.
bool PodeConfigurarAgenda(Transacao& tr, const QString& usuario);

} // namespace vx
