#include "registries/TFImportacaoSigTAP.h"
#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/widgets/TPersonBtn.h"
#include "registries/SigTap.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(ImportaoSIGTAP1, [] { TFImportacaoSigTAP::Abre(); });

namespace {

QLabel* novoRotulo(const char* nome, QWidget* pai)
{
    auto* l = new QLabel(pai);
    l->setObjectName(QLatin1String(nome));
    return l;
}

QCheckBox* novaOpcao(const char* nome, const QString& texto, QWidget* pai)
{
    auto* c = new QCheckBox(texto, pai);
    c->setObjectName(QLatin1String(nome));
    c->setChecked(true);
    return c;
}

void pintaJa()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

TFImportacaoSigTAP::TFImportacaoSigTAP(QWidget* parent)
    : TFBase(parent), m_pasta(PastaSigTap())
{
    setObjectName(QStringLiteral("TFImportacaoSigTAP"));
    setWindowTitle(QStringLiteral("Importação de tabelas do SIGTAP"));

    auto* texto = new QLabel(QStringLiteral("Os arquivos %1 (e %2, quando houver) devem estar na pasta:\n%3")
                                 .arg(ArquivosSigTap().join(QStringLiteral(", ")), QLatin1String(kSigTapLayout),
                                      QDir::toNativeSeparators(m_pasta)),
                             this);
    texto->setObjectName(QStringLiteral("LPasta"));
    texto->setWordWrap(true);
    texto->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_cbo = novaOpcao("CBCBO", QStringLiteral("CBO (Ocupação)"), this);
    m_procedimentos = novaOpcao("CBProcedimentos", QStringLiteral("Procedimentos"), this);
    m_procedCbo = novaOpcao("CBProcedCBO", QStringLiteral("Procedimentos X Ocupação"), this);
    m_lCbo = novoRotulo("LCBO", this);
    m_lProcedimentos = novoRotulo("LProcedimentos", this);
    m_lRegistro = novoRotulo("LRegistro", this);
    m_lProcedCbo = novoRotulo("LProcedCBO", this);
    m_contador = novoRotulo("LContador", this);
    m_aguarde = novoRotulo("LAguardeConcluido", this);
    m_ok = new TPersonBtn(QStringLiteral("&Iniciar Importação"), this);
    m_ok->setObjectName(QStringLiteral("PBOK"));
    connect(m_ok, &TPersonBtn::Acao, this, &TFImportacaoSigTAP::PBOKClick);

    auto* g = new QGridLayout;
    g->addWidget(m_cbo, 0, 0);
    g->addWidget(m_lCbo, 0, 1);
    g->addWidget(m_procedimentos, 1, 0);
    g->addWidget(m_lProcedimentos, 1, 1);
    g->addWidget(m_lRegistro, 2, 1);
    g->addWidget(m_procedCbo, 3, 0);
    g->addWidget(m_lProcedCbo, 3, 1);
    g->setColumnStretch(1, 1);
    g->setHorizontalSpacing(24);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(m_ok);
    auto* v = new QVBoxLayout(this);
    v->addWidget(texto);
    v->addSpacing(8);
    v->addWidget(new QLabel(QStringLiteral("Tabelas a importar:"), this));
    v->addLayout(g);
    v->addSpacing(8);
    v->addWidget(m_contador);
    v->addWidget(m_aguarde);
    v->addStretch();
    v->addLayout(botoes);
    resize(560, 300);
}

TFImportacaoSigTAP* TFImportacaoSigTAP::Abre()
{
    TFImportacaoSigTAP* t = MostraTela<TFImportacaoSigTAP>();
    t->m_ok->setFocus();
    return t;
}

void TFImportacaoSigTAP::showEvent(QShowEvent* ev)
{
    TFBase::showEvent(ev);
    if (!m_mostrada) {
        m_mostrada = true;
        QTimer::singleShot(0, this, &TFImportacaoSigTAP::FormShow);
    }
}

void TFImportacaoSigTAP::closeEvent(QCloseEvent* ev)
{
    // The download and the import pump window events; the screen stays until they end.
    if (m_rodando) {
        ev->ignore();
        return;
    }
    TFBase::closeEvent(ev);
}

void TFImportacaoSigTAP::FormShow()
{
    const QString url = Geral::SIGTAPURL().trimmed();
    if (!url.isEmpty()) {
        SuspendeFechamento suspensao(this);
        m_rodando = true;
        m_ok->setEnabled(false);
        const QStringList falhas = BaixaTabelasSigTap(m_pasta, url, [this](const QString& t) {
            m_aguarde->setText(t);
            pintaJa();
        });
        m_aguarde->setToolTip(falhas.join(QLatin1Char('\n')));
        m_ok->setEnabled(true);
        m_rodando = false;
    }
    VerificaArquivos();
    m_preparada = true;
}

bool TFImportacaoSigTAP::marca(QLabel* rotulo, const char* arquivo)
{
    const QString nome = QLatin1String(arquivo);
    const bool existe = QFileInfo(QDir(m_pasta).filePath(nome)).isFile();
    rotulo->setText(existe ? QStringLiteral("Arquivo %1 ok!").arg(nome) : QStringLiteral("Falta Arquivo %1!").arg(nome));
    QPalette p = rotulo->palette();
    p.setColor(QPalette::WindowText, existe ? QColor(0, 128, 0) : QColor(255, 0, 0));
    rotulo->setPalette(p);
    return existe;
}

void TFImportacaoSigTAP::VerificaArquivos()
{
    m_aguarde->clear();
    m_contador->clear();
    m_cbo->setEnabled(marca(m_lCbo, kSigTapOcupacao));
    const bool procedimentos = marca(m_lProcedimentos, kSigTapProcedimento);
    const bool registro = marca(m_lRegistro, kSigTapRegistro);
    m_procedimentos->setEnabled(procedimentos && registro);
    m_procedCbo->setEnabled(marca(m_lProcedCbo, kSigTapProcedOcupacao));
}

void TFImportacaoSigTAP::contador(const QString& texto)
{
    m_contador->setText(texto);
    if (!m_pintura.isValid() || m_pintura.hasExpired(50)) {
        m_pintura.start();
        pintaJa();
    }
}

void TFImportacaoSigTAP::PBOKClick()
{
    TDMCUNE* dm = DMCUNE();
    if (m_rodando || !dm)
        return;
    OpcoesSigTap opcoes;
    opcoes.cbo = m_cbo->isEnabled() && m_cbo->isChecked();
    opcoes.procedimentos = m_procedimentos->isEnabled() && m_procedimentos->isChecked();
    // "Procedimentos X Ocupação" has nothing to import yet.
    SuspendeFechamento suspensao(this);
    m_rodando = true;
    m_contador->clear();
    m_aguarde->setText(QStringLiteral("Aguarde Mensagem de Importação Concluída!"));
    m_pintura.invalidate();
    const bool ok = ExecutaAcao(m_ok, [&] {
        ImportaSigTap(dm->IBTransaction, m_pasta, opcoes, [this](const QString& t) { contador(t); });
    });
    m_rodando = false;
    if (!ok) {
        m_aguarde->clear();
        return;
    }
    m_aguarde->setText(QStringLiteral("Importação Concluída!"));
    MostraSimples(QStringLiteral("Importação Concluída"));
}

} // namespace vx
