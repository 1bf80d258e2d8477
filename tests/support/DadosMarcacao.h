#pragma once
// Rows an authorization needs, for the tests of the authorization screen and its writes:
// municipality 4314902 (PORTO ALEGRE), patients, entities, professionals, procedures and links.
#include <QString>

namespace vx::test {

class BancoTeste;

inline const QString kMunMarcacao = QStringLiteral("4314902");

// Patients: 1 complete with a valid card, 2 without address, 3 "MODULOS" without address,
// 4 complete with an invalid card.
// Entity 10 "CLINICA VIDA" with professional 20 (its only one); entity 11 with professionals 21
// and 22.
// Procedures: 101 CONSULTA 10,10 (max 1), 102 FISIOTERAPIA 5,00 (max 10, REGISTRO I),
// 103 RESSONANCIA 400,00 (REQUERAPAC S), 104 ECOGRAFIA 60,00, 200..219 EXAME nn 1,00; all linked
// to (10, 20); 101 also to (11, 21).
// `apac`: CLIENTES.APAC of the municipality.
void PreparaMarcacao(BancoTeste& b, bool apac = false);

} // namespace vx::test
