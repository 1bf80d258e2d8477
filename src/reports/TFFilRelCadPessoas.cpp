#include "reports/TFFilRelCadPessoas.h"
#include "core/MenuPrincipal.h"
#include "reports/TRCadPessoas.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(PacientesCadastrados1, [] { TFFilRelCadPessoas::Abre(); });
VX_REGISTRA_TELA(PacientesCadastrados2, [] { TFFilRelCadPessoas::Abre(); });
VX_REGISTRA_TELA(PacientesCadastrados3, [] { TFFilRelCadPessoas::Abre(); });

TFFilRelCadPessoas::TFFilRelCadPessoas(QWidget* parent)
    : TFFiltroRelatorio("TFFilRelCadPessoas", QStringLiteral("Relatório do Cadastro de Pessoas"), parent)
{
    std::tie(RBCodigo, RBNome) = ordemCodigoNome();
    resize(340, 110);
}

TFFilRelCadPessoas* TFFilRelCadPessoas::Abre()
{
    TFFilRelCadPessoas* t = MostraTela<TFFilRelCadPessoas>();
    (t->RBNome->isChecked() ? t->RBNome : t->RBCodigo)->setFocus();
    return t;
}

std::shared_ptr<rel::Documento> TFFilRelCadPessoas::gera(Transacao& tr) { return TRCadPessoas::Gera(tr, RBNome->isChecked()); }

QString TFFilRelCadPessoas::tituloPreview() const { return TRCadPessoas::Titulo(); }

} // namespace vx
