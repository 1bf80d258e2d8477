#pragma once
// "Controle de Agendamento": a professional's days from today on, each with its places and its
// bookings (id, patient, municipality, Cartão SUS) ordered by patient name.
#include "reports/Relatorio.h"

#include <memory>

class QWidget;

namespace vx {

class Transacao;

class TRAgendaProf {
public:
    static QString Titulo(); // "Controle de Agendamento"
    // The report of professional `profissional` named `nome`, read on `tr` while it is laid out.
    static std::unique_ptr<rel::Relatorio> Monta(Transacao& tr, qint64 profissional, const QString& nome);
    // Reads the professional's name and lays the report out.
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, qint64 profissional);
    // Same, shown in the print preview until it is closed. False when printing failed.
    static bool Executa(Transacao& tr, qint64 profissional, QWidget* pai = nullptr);
};

} // namespace vx
