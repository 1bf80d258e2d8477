#pragma once
// A small modal question for one date, typed over the dd/mm/yyyy mask.
#include <QString>

#include <optional>

class QWidget;

namespace vx {
// The text typed ("  /  /    " when left empty); nullopt when cancelled. Runs through ExecutaModal.
std::optional<QString> PerguntaData(QWidget* pai, const QString& titulo, const QString& texto, const QString& proposta);
} // namespace vx
