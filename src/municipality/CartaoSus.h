#pragma once
// The national health card (Cartão SUS) number check.
#include "core/Mensagens.h"

#include <QString>

namespace vx {

struct AvaliacaoCartaoSus {
    bool valido = true;
    QString mensagem;               // empty when valid
    IconeMsg icone = IconeMsg::Nenhum;
};

// Pure check: definitive cards (first digit 1 or 2) by the check-digit rule, provisional cards
// (first digit 7, 8 or 9) by the weighted sum; any other first digit is invalid.
AvaliacaoCartaoSus AvaliaCartaoSUS(const QString& texto);

// Checks the number and shows the message of a rejected one (empty title). True when valid.
bool ValidaCartaoSUS(const QString& texto);

} // namespace vx
