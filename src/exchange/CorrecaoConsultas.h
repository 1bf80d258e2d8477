#pragma once
// Correction of consultation values run at start-up for CUNE consortia, between upgrade steps
// 2.23 and 2.24.
namespace vx {
class Transacao;
// Runs on the main transaction; the provider attendance brings its content.
void CorrigeValorConsultas(Transacao& tr);
} // namespace vx
