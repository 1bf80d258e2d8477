#include "billing/TFFilRelBPA.h"
#include "billing/TRBpa.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/Formulario.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "core/widgets/UiMensagens.h"
#include "reports/UiPreview.h"

#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(BPABoletimdaProduoAmbulatorial1, [] { TFFilRelBPA::Abre(); });

namespace {

QRadioButton* opcao(QWidget* dono, QLayout* lay, const char* nome, const QString& texto)
{
    auto* b = new QRadioButton(texto, dono);
    b->setObjectName(QLatin1String(nome));
    lay->addWidget(b);
    return b;
}

QGroupBox* grupo(QWidget* dono, const char* nome, const QString& titulo)
{
    auto* g = new QGroupBox(titulo, dono);
    g->setObjectName(QLatin1String(nome));
    new QVBoxLayout(g);
    return g;
}

} // namespace

TFFilRelBPA::TFFilRelBPA(QWidget* parent)
    : TFBase(parent)
{
    setObjectName(QStringLiteral("TFFilRelBPA"));
    setWindowTitle(QStringLiteral("BPA"));
    Formulario f(this);
    auto* form = f.novoForm();
    std::tie(PEDataInicial, PEDataFinal) = f.periodoDoMes("PEDataInicial", "PEDataFinal");
    f.fechaLinha();
    const Calendario& cal = SessaoAtual().CalendarioAtual;
    if (LeData(cal.inicio).isValid() && LeData(cal.fim).isValid()) {
        PEDataInicial->setText(cal.inicio);
        PEDataFinal->setText(cal.fim);
    }

    RGPab = grupo(this, "RGPab", QStringLiteral(" Exibir: "));
    RBPab = opcao(RGPab, RGPab->layout(), "RBPab", QStringLiteral("PAB"));
    RBMac = opcao(RGPab, RGPab->layout(), "RBMac", QStringLiteral("MAC"));
    RBTodos = opcao(RGPab, RGPab->layout(), "RBTodos", QStringLiteral("Todos"));
    RBTodos->setChecked(true);
    RGBPARegistro = grupo(this, "RGBPARegistro", QStringLiteral(" BPA: "));
    RBConsolidado = opcao(RGBPARegistro, RGBPARegistro->layout(), "RBConsolidado", QStringLiteral("Consolidado (BPA-C)"));
    RBIndividualizado = opcao(RGBPARegistro, RGBPARegistro->layout(), "RBIndividualizado",
                              QStringLiteral("Individualizado (BPA-I)"));
    RBConsolidado->setChecked(true);

    PIndividualizado = new QGroupBox(QStringLiteral(" BPA-I: "), this);
    PIndividualizado->setObjectName(QStringLiteral("PIndividualizado"));
    auto* li = new QVBoxLayout(PIndividualizado);
    Formulario fi(this);
    li->addLayout(fi.novoForm());
    const auto codigo = fi.codigo(
        "PECodGrupo", QStringLiteral("Grupo:"), 5, "LNomeGrupo",
        [] { return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("GruposProced")); },
        [](const QString& c) {
            return CodigoVazio(c) ? QString() : NomeLivre(c.trimmed(), QStringLiteral("codigo"), QStringLiteral("Nome"),
                                                          QStringLiteral("GruposProced"));
        });
    PECodGrupo = codigo.campo;
    LNomeGrupo = codigo.nome;
    fi.fechaLinha();
    auto* lp = new QHBoxLayout;
    RBProfCNS = opcao(PIndividualizado, lp, "RBProfCNS", QStringLiteral("Somente Profissionais com CNS"));
    RBProfTodos = opcao(PIndividualizado, lp, "RBProfTodos", QStringLiteral("Profissionais sem CNS "));
    RBProfCNS->setChecked(true);
    lp->addStretch();
    li->addLayout(lp);
    PIndividualizado->setEnabled(false);
    connect(RBIndividualizado, &QRadioButton::toggled, PIndividualizado, &QWidget::setEnabled);

    LPasta = new QLabel(QStringLiteral("Arquivo gravado em: ") + QDir::toNativeSeparators(bpa::PastaExportacaoBpa())
                            + QStringLiteral("  (cópia em ") + QDir::toNativeSeparators(bpa::PastaCopiaBpa())
                            + QStringLiteral(")"),
                        this);
    LPasta->setObjectName(QStringLiteral("LPasta"));
    LPasta->setWordWrap(true);

    PBtnImprimir = new TPersonBtn(QStringLiteral("Visualizar"), this);
    PBtnImprimir->setObjectName(QStringLiteral("PBtnImprimir"));
    PBGerarArquivo = new TPersonBtn(QStringLiteral("&Gerar Arquivo BPA da Produção Consolidada e Individualizada"), this);
    PBGerarArquivo->setObjectName(QStringLiteral("PBGerarArquivo"));
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(PBGerarArquivo);
    botoes->addStretch();
    botoes->addWidget(PBtnImprimir);

    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    auto* grupos = new QHBoxLayout;
    grupos->addWidget(RGPab);
    grupos->addWidget(RGBPARegistro, 1);
    lay->addLayout(grupos);
    lay->addWidget(PIndividualizado);
    lay->addWidget(LPasta);
    lay->addLayout(botoes);
    resize(520, 320);
    connect(PBtnImprimir, &TPersonBtn::Acao, this, [this] { PBtnImprimirClick(); });
    connect(PBGerarArquivo, &TPersonBtn::Acao, this, [this] { PBGerarArquivoClick(); });
}

TFFilRelBPA* TFFilRelBPA::Abre()
{
    TFFilRelBPA* t = MostraTela<TFFilRelBPA>();
    t->PEDataInicial->setFocus();
    return t;
}

bpa::Exibir TFFilRelBPA::exibir() const
{
    if (RBPab->isChecked())
        return bpa::Exibir::Pab;
    if (RBMac->isChecked())
        return bpa::Exibir::Mac;
    return bpa::Exibir::Todos;
}

void TFFilRelBPA::PBtnImprimirClick()
{
    ExecutaAcao(PBtnImprimir, [this] {
        SuspendeFechamento s(this);
        std::shared_ptr<rel::Documento> doc;
        {
            Aguarde aguarde(this, QStringLiteral("Aguarde, gerando relatório..."));
            if (RBConsolidado->isChecked()) {
                bpa::CompletaIdades(DMCUNE()->IBTransaction);
                doc = TRBpa::Consolidado(*transacaoLeitura(), PEDataInicial->data(), PEDataFinal->data(), exibir());
            } else {
                doc = TRBpa::Individualizado(*transacaoLeitura(), PEDataInicial->data(), PEDataFinal->data(), exibir(),
                                             PECodGrupo->inteiro().value_or(0), RBProfCNS->isChecked());
            }
        }
        MostraPreview(doc, RBConsolidado->isChecked() ? QStringLiteral("BPA - Consolidado")
                                                      : QStringLiteral("BPA - Individualizado"),
                      this);
    });
}

void TFFilRelBPA::PBGerarArquivoClick()
{
    ExecutaAcao(PBGerarArquivo, [this] {
        SuspendeFechamento s(this);
        bpa::ArquivoBpa a;
        bpa::GravacaoBpa g;
        {
            Aguarde aguarde(this, QStringLiteral("Aguarde, gerando relatório..."));
            a = bpa::MontaArquivoBpa(*transacaoLeitura(), PEDataInicial->data(), PEDataFinal->data(),
                                     RBMac->isChecked(), bpa::Identificacao::DaConfiguracao());
            g = bpa::GravaArquivoBpa(a, bpa::PastaExportacaoBpa(), bpa::PastaCopiaBpa());
        }
        LPasta->setText(QStringLiteral("Arquivo gravado em: ") + QDir::toNativeSeparators(g.arquivo));
        if (!a.falhas.isEmpty())
            Avisa(a.falhas.join(QLatin1Char('\n')));
        if (!g.copiou)
            Avisa(QStringLiteral("Sem permissão para criar cópia do arquivo em ") + g.copia);
        const QString controle = QString::number(a.controle);
        if (a.erros.isEmpty()) {
            Informa(QStringLiteral("Arquivo gerado!\nAnote o valor do campo de Controle: ") + controle);
            return;
        }
        Informa(QStringLiteral("Arquivo gerado! Anote o valor do campo de Controle: ") + controle
                + QStringLiteral("\nPressione OK para salvar o arquivo com erros na geração do BPA"));
        salvaErros(a.erros);
    });
}

void TFFilRelBPA::salvaErros(const QStringList& erros)
{
    QString nome = QStringLiteral("FAAs com erro - BPA ") + PEDataFinal->data().toString(QStringLiteral("ddMMyyyy"));
    if (RBPab->isChecked())
        nome += QStringLiteral(" (PAB)");
    else if (RBMac->isChecked())
        nome += QStringLiteral(" (MAC)");
    const QString arquivo = PerguntaArquivoSalvar(this, QStringLiteral("Salvar"), bpa::PastaExportacaoBpa(), nome,
                                                  QStringLiteral("Arquivos Texto (*.txt);;Todos os Arquivos (*)"),
                                                  QStringLiteral("txt"));
    if (arquivo.isEmpty())
        return;
    QFile f(arquivo);
    const QByteArray texto = (erros.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(texto) != texto.size())
        throw ErroValor(QStringLiteral("Não foi possível gravar o arquivo ") + arquivo + QStringLiteral(": ") + f.errorString());
}

} // namespace vx
