#pragma once
// The utilities menu without widgets: starting desktop programs (one place, so tests can record
// the starts), the query generator's statement kind, remote assistance and the billing calendars.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace vx {

class Transacao;

// Starts `programa` detached (in `pasta` when given). False when it could not be started.
bool IniciaPrograma(const QString& programa, const QStringList& args = {}, const QString& pasta = {});
// Replaces how programs are started (tests); an empty function restores the real start.
using IniciadorProgramas = std::function<bool(const QString& programa, const QStringList& args)>;
IniciadorProgramas DefineIniciadorProgramas(IniciadorProgramas iniciador);

// The query generator opens a statement whose first six characters, after trimming and
// upper-casing, are "SELECT"; any other statement is executed.
bool EhConsultaSelect(const QString& sql);

// The desktop's spreadsheet (or word processor) with a new document: LibreOffice when installed,
// else the program the desktop opens an empty ".csv" (".rtf") file with.
bool AbreAplicativoEscritorio(bool planilha);

// The remote-assistance program: the configured command (GERAL/ASSISTENCIAREMOTA), else
// "showmypc" in the working folder, else the last executable file of its parent folder whose name,
// upper-cased, begins with SHOWMYPC (in name order, case ignored). Empty when none is found.
QStringList ProgramaAssistenciaRemota(const QString& pastaTrabalho);
// Starts it, or shows why it could not.
void SolicitaAssistenciaRemota(const QString& pastaTrabalho);

// A CALENDARIOS row as the selection lists it: start " a " end " - " description.
struct ItemCalendario {
    QDate inicio;
    QDate fim;
    QString descricao;
    bool selecionado = false;
    QString texto() const;
};
// Every calendar, latest start first.
QVector<ItemCalendario> ListaCalendarios(Transacao& tr);
// Marks the calendar with these dates as the current one (and no other), with its audit row, in a
// fresh transaction on `tr`.
void SelecionaCalendario(Transacao& tr, const ItemCalendario& item);
// DESCRICAO of the calendar with exactly these dates ("" when there is none); report headers print
// it beside the period.
QString DescricaoCalendario(Transacao& tr, const QDate& inicio, const QDate& fim);

} // namespace vx
