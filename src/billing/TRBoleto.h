#pragma once
// Printed Banrisul bank slips on the band engine: one A4 page per slip, the payer's receipt on top,
// the cut line and the compensation slip at the bottom with its Interleaved 2 of 5 bar code drawn
// as vector bars. The bank logo is "logobanrisul.png" (or .jpg) of the installation folder; without
// it the bank's name is printed.
#include "billing/Boleto.h"
#include "reports/Relatorio.h"

#include <QVector>

#include <memory>

class QWidget;

namespace vx {

class TRBoleto {
public:
    // Every slip is checked (ErroValor) before anything is laid out.
    static std::shared_ptr<rel::Documento> Gera(const QVector<Boleto>& boletos);  // one page per slip
    // Shown in the print preview until it is closed. False when printing failed or the layout was
    // cancelled.
    static bool Executa(const QVector<Boleto>& boletos, const QString& titulo, QWidget* pai = nullptr);
};

// Bar and module geometry of the printed code (mm): narrow bar, wide = 3 narrow, bar height.
inline constexpr double kBarraEstreitaMm = 0.33;
inline constexpr double kAlturaBarrasMm = 13.0;

} // namespace vx
