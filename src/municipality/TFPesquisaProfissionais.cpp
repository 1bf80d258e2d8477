#include "municipality/TFPesquisaProfissionais.h"
#include "core/Banco.h"
#include "core/MenuPrincipal.h"
#include "core/UDMCune.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "municipality/PesquisaProfissionais.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(PesquisadeProfissionais1, [] { TFPesquisaProfissionais::Abre(); });

TFPesquisaProfissionais::TFPesquisaProfissionais(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFPesquisaProfissionais"));
    setWindowTitle(QStringLiteral("Pesquisa de Profissionais"));
    auto* raiz = new QVBoxLayout(this);
    raiz->addLayout(m_form.novoForm());
    m_especialidade = m_form.campo("PEEspecialidade", TPersonEdit::peTexto, QStringLiteral("Informe a Especialidade::"),
                                   60, Formulario::Maiusculo);
    m_especialidade->setMinimumWidth(320);
    m_ordem = new QComboBox(this);
    m_ordem->setObjectName(QStringLiteral("CBOrdem"));
    m_ordem->addItems({QStringLiteral("Profissional"), QStringLiteral("Município")});
    auto* rotulo = new QLabel(QStringLiteral("Ordem:"), this);
    rotulo->setBuddy(m_ordem);
    m_form.novaLinha(nullptr, true)->addWidget(rotulo);
    m_form.linhaAtual()->addWidget(m_ordem);
    m_pesquisar = new TPersonBtn(QStringLiteral("Pesquisar"), this);
    m_pesquisar->setObjectName(QStringLiteral("PBPesquisar"));
    m_form.linhaAtual()->addWidget(m_pesquisar);
    m_form.fechaLinha();

    m_grade = new GradeConsulta(this);
    m_grade->setObjectName(QStringLiteral("DBGrid1"));
    m_grade->defineTitulos({QStringLiteral("Código"), QStringLiteral("Nome"), QStringLiteral("Entidade"),
                            QStringLiteral("Cidade"), QStringLiteral("Contato"), QStringLiteral("Especialidade")});
    m_grade->defineColunaElastica(4);
    m_grade->setMinimumSize(900, 380);
    raiz->addWidget(m_grade, 1);
    // Right click, the menu key or Shift+F10 on a row.
    m_grade->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_conforme = new QAction(QStringLiteral("Ver Procedimentos deste Profissional conforme a Pesquisa"), m_grade);
    m_todos = new QAction(QStringLiteral("Ver TODOS os Procedimentos deste Profissional"), m_grade);
    m_grade->addAction(m_conforme);
    m_grade->addAction(m_todos);
    connect(m_conforme, &QAction::triggered, this, [this] { VerProcedimentos(false); });
    connect(m_todos, &QAction::triggered, this, [this] { VerProcedimentos(true); });
    connect(m_pesquisar, &TPersonBtn::Acao, this, &TFPesquisaProfissionais::PBPesquisarClick);
}

TFPesquisaProfissionais* TFPesquisaProfissionais::Abre()
{
    TFPesquisaProfissionais* t = MostraTela<TFPesquisaProfissionais>();
    t->m_especialidade->setFocus();
    return t;
}

void TFPesquisaProfissionais::PBPesquisarClick()
{
    ExecutaAcao(m_pesquisar, [&] {
        m_texto = m_especialidade->text();
        Transacao& tr = DMCUNE()->IBTransaction;
        tr.inicia();
        m_grade->carrega(tr, SqlPesquisaProfissionais(m_texto, m_ordem->currentIndex() == 1));
        tr.rollback();
        if (m_grade->linhas() > 0) {
            m_grade->setFocus();
            m_grade->selectRow(0);
        }
    });
}

void TFPesquisaProfissionais::VerProcedimentos(bool todos)
{
    const QString codigo = m_grade->valor(QStringLiteral("CODIGO"));
    if (codigo.isEmpty())
        return;
    // From now on the procedures window may take the focus without closing this one.
    setFechaAoPerderFoco(false);
    ExecutaAcao(nullptr, [&] {
        TFPesqProfissionaisProcedimentos::Mostra(codigo, m_grade->valor(QStringLiteral("NOME")), m_texto, !todos);
    });
}

TFPesqProfissionaisProcedimentos::TFPesqProfissionaisProcedimentos(QWidget* parent) : TFBase(parent)
{
    setObjectName(QStringLiteral("TFPesqProfissionaisProcedimentos"));
    setFechaAoPerderFoco(false);
    auto* raiz = new QVBoxLayout(this);
    m_grade = new GradeConsulta(this);
    m_grade->setObjectName(QStringLiteral("DBGrid1"));
    m_grade->defineTitulos({QStringLiteral("Cód. SUS"), QStringLiteral("Procedimento"), QStringLiteral("Valor")});
    m_grade->defineColunaElastica(1);
    m_grade->setMinimumSize(640, 360);
    raiz->addWidget(m_grade);
}

TFPesqProfissionaisProcedimentos* TFPesqProfissionaisProcedimentos::Mostra(const QString& codigo, const QString& nome,
                                                                           const QString& texto, bool conformePesquisa)
{
    TFPesqProfissionaisProcedimentos* t = MostraTela<TFPesqProfissionaisProcedimentos>();
    t->setWindowTitle(QStringLiteral("Procedimentos conveniados para o Profissional ") + nome);
    Transacao* tr = t->transacaoLeitura();
    t->m_grade->carrega(*tr, SqlProcedimentosProfissional(codigo, texto, conformePesquisa));
    tr->rollback();
    t->m_grade->setFocus();
    return t;
}

} // namespace vx
