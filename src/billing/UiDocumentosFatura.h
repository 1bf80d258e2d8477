#pragma once
// The receipts and bank slips of the billing screen's period (its "Recibos" and "Boletos"
// buttons): printed, then registered when the user confirms.

namespace vx {

void EmiteRecibosFatura();
void EmiteBoletosFatura();

} // namespace vx
