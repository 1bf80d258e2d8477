#pragma once
// Printed authorization form: three copies (consortium, entity, municipality) on one job,
// followed by the SUS high-complexity request page (APAC) when asked.
#include "core/Decimal.h"
#include "reports/Relatorio.h"

#include <QDateTime>
#include <QString>

#include <memory>

class QWidget;

namespace vx {

class Transacao;

struct PedidoFAA {
    QString cliOrigem;                          // 7-digit IBGE code
    qint64 idMarcacao = 0;
    QString dataImpAdm = QStringLiteral("M");   // which copy of the authorization
    bool apac = false;                          // append the APAC request page
    bool reimpresso = false;                    // "DOCUMENTO REIMPRESSO"
};

// Title of the form by consortium profile (GERAL/CONSORCIO).
QString TituloFAA(const QString& perfil);
// The "SIA/SUS" caption under the title (left empty for some profiles).
QString RotuloSiaSusFAA(const QString& perfil);

// The payment line for the municipality and whether the warning about charging the patient shows.
struct PagamentoFAA {
    QString texto;
    bool avisoCobranca = true;
};
PagamentoFAA TextoPagamentoFAA(const QString& nomeMunicipio, const QString& perfil);

// One procedure line: "<code> - <name>" or "<qt> x <code> - <name>", cut/padded to 60, then
// "  R$ " + "##,##0.00" unless the amounts are hidden.
QString LinhaProcedimentoFAA(qint64 quantidade, const QString& codTabSus, const QString& nome,
                             const Decimal& valorTotal, bool mostraValor);

// Health-card number with the mask "###.####.####.####" (digits only; a shorter number fills the
// groups it reaches).
QString FormataCartaoSusFAA(const QString& numero);

// The logo file: the configured path when it names an existing file, otherwise
// logoconsorcio.jpg of the installation folder.
QString CaminhoLogoFAA(const QString& configurado);

class TRImpFAA {
public:
    // Reads the data once and lays out the job: the form three times, then the APAC page when
    // asked. Throws ErroMensagem when the authorization does not exist, ErroBanco on database errors.
    static std::shared_ptr<rel::Documento> Gera(Transacao& tr, const PedidoFAA& p,
                                                const QDateTime& agora = QDateTime::currentDateTime());
    // Same, shown in the print preview until it is closed. False when printing failed.
    static bool Executa(Transacao& tr, const PedidoFAA& p, QWidget* pai = nullptr);
};

} // namespace vx
