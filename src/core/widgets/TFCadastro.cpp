#include "core/widgets/TFCadastro.h"
#include "core/Mensagens.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/widgets/TPersonBtn.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

namespace {
const QString kDicaCodigo = QStringLiteral("Deixe em branco para gerar um código automático quando clicar em Gravar");

// The exclusion notice: painted yellow only while it says something.
class RotuloAviso : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* ev) override
    {
        if (!text().isEmpty())
            QPainter(this).fillRect(rect(), palette().color(QPalette::Window));
        QLabel::paintEvent(ev);
    }
};
} // namespace

TFCadastro::TFCadastro(const char* nome, const QString& titulo, const QString& tabela, const QString& prefixoAviso,
                       QWidget* parent)
    : TFBase(parent)
    , m_tabela(tabela)
    , m_prefixoAviso(prefixoAviso)
{
    setObjectName(QLatin1String(nome));
    setWindowTitle(titulo);

    auto* raiz = new QVBoxLayout(this);
    auto* topo = m_topo = new QHBoxLayout;
    raiz->addLayout(topo);
    QFormLayout* form = m_formulario.novoForm();
    auto* esquerda = new QVBoxLayout;
    m_aviso = new RotuloAviso(this);
    m_aviso->setObjectName(QStringLiteral("LAvisoExclusao"));
    QPalette pa = m_aviso->palette();
    pa.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0x00));
    pa.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    m_aviso->setPalette(pa);
    QFont fa = m_aviso->font();
    fa.setBold(true);
    m_aviso->setFont(fa);
    m_aviso->setVisible(!prefixoAviso.isEmpty());
    esquerda->addWidget(m_aviso);
    esquerda->addLayout(form);
    esquerda->addStretch(1);
    topo->addLayout(esquerda, 1);
    m_botoes = new QVBoxLayout;
    topo->addSpacing(12);
    topo->addLayout(m_botoes);
    m_inferior = new QVBoxLayout;
    raiz->addLayout(m_inferior, 1);

    // Created now, placed in the column when the screen is concluded (after the fields in tab order).
    m_gravar = new TPersonBtn(QStringLiteral("&Gravar"), this);
    m_gravar->setObjectName(QStringLiteral("PBtnGravar"));
    m_excluir = new TPersonBtn(QStringLiteral("&Excluir"), this);
    m_excluir->setObjectName(QStringLiteral("PBtnExcluir"));
    m_excluir->setVerRequeridos(false);
    for (TPersonBtn* b : {m_gravar, m_excluir}) {
        b->setMinimumWidth(110);
        m_botoes->addWidget(b);
    }
}

TFCadastro::~TFCadastro() = default;

QGroupBox* TFCadastro::novoPainel(const char* nome, const QString& titulo, bool aDireita)
{
    auto* p = new QGroupBox(titulo, this);
    p->setObjectName(QLatin1String(nome));
    auto* l = new QVBoxLayout(p);
    l->addLayout(m_formulario.novoForm());
    if (aDireita) {
        if (!m_direita) {
            m_direita = new QVBoxLayout;
            m_topo->insertLayout(m_topo->indexOf(m_botoes) - 1, m_direita, 1);
            m_topo->insertSpacing(m_topo->indexOf(m_direita), 12);
        }
        m_direita->addWidget(p, 1);
    } else {
        m_inferior->addWidget(p);
    }
    return p;
}

TPersonEdit* TFCadastro::novoCampo(const char* nome, TPersonEdit::Tipo tipo, const QString& rotulo, int max,
                                   unsigned opcoes)
{
    return m_formulario.campo(nome, tipo, rotulo, max, opcoes);
}

TPersonEdit* TFCadastro::novoCampoCodigo(int max, std::function<void()> busca, bool comDica)
{
    m_codigo = novoCampo("PECodigo", TPersonEdit::peTexto, QStringLiteral("Codigo:"), max);
    if (comDica)
        m_codigo->setToolTip(kDicaCodigo);
    m_sbCodigo = NovoBotaoBusca(QStringLiteral("SBCodigo"), this);
    linhaAtual()->addWidget(m_sbCodigo);
    LigaCodigo(m_codigo, m_sbCodigo, nullptr, {}, [this] { PECodigoExit(); });
    connect(m_sbCodigo, &QToolButton::clicked, this, [this, busca] {
        SuspendeFechamento s(this);
        busca();
    });
    return m_codigo;
}

TPersonEdit* TFCadastro::novoCampoReferencia(const char* nome, const QString& rotulo, int max, const char* nomeRotulo,
                                             Referencia ref, unsigned opcoes)
{
    const auto nomeDe = ref.nomeDe ? ref.nomeDe : [ref](const QString& codigo) {
        return NomeLivre(codigo, ref.chave, ref.nome, ref.tabela);
    };
    const Formulario::CampoCodigo c = m_formulario.codigo(nome, rotulo, max, nomeRotulo, ref.busca, nomeDe, opcoes);
    TPersonEdit* e = c.campo;
    QLabel* l = c.nome;
    m_referencias.append({e, l, std::move(ref)});
    return e;
}

QCheckBox* TFCadastro::novaMarca(const char* nome, const QString& texto, unsigned opcoes)
{
    return m_formulario.marca(nome, texto, opcoes);
}

TPersonBtn* TFCadastro::novoBotao(const char* nome, const QString& texto, bool verRequeridos, std::function<void()> acao,
                                  QBoxLayout* onde)
{
    auto* b = new TPersonBtn(texto, this);
    b->setObjectName(QLatin1String(nome));
    b->setVerRequeridos(verRequeridos);
    b->setMinimumWidth(onde ? 90 : 110);
    (onde ? onde : m_botoes)->addWidget(b);
    connect(b, &TPersonBtn::Acao, this, std::move(acao));
    return b;
}

void TFCadastro::concluiTela()
{
    m_formulario.fechaLinha();
    m_botoes->addStretch(1);
    // Buttons after the fields in the tab chain, as in the required-field order.
    QWidget* anterior = nullptr;
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (qobject_cast<TPersonEdit*>(w) || qobject_cast<QCheckBox*>(w))
            anterior = w;
    for (TPersonBtn* b : findChildren<TPersonBtn*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (anterior)
            setTabOrder(anterior, b);
        anterior = b;
    }
    connect(m_gravar, &TPersonBtn::Acao, this, [this] { PBtnGravarClick(); });
    connect(m_excluir, &TPersonBtn::Acao, this, [this] { PBtnExcluirClick(); });
    LimpaEdits();
    if (m_codigo)
        m_codigo->setFocus();
}

void TFCadastro::liga(TPersonEdit* campo, const QString& coluna)
{
    m_formulario.liga(campo, coluna);
}

void TFCadastro::liga(QCheckBox* marca, const QString& coluna, const QString& marcado)
{
    m_formulario.liga(marca, coluna, marcado);
    m_marcas.append(marca);
}

void TFCadastro::LimpaEdits()
{
    for (TPersonEdit* e : findChildren<TPersonEdit*>()) {
        if (e->property("vxAvulso").toBool())
            continue;
        e->clear();
        e->limpaErro();
    }
    for (QCheckBox* m : std::as_const(m_marcas))
        m->setChecked(false);
    for (const LigacaoReferencia& r : std::as_const(m_referencias))
        r.rotulo->clear();
    m_aviso->clear();
    m_linha.reset();
    limpaExtra();
}

void TFCadastro::mostraLinha(const LinhaCadastro& linha)
{
    m_formulario.mostra(linha);
}

QString TFCadastro::sqlCarga(const QString& codigo) const
{
    return QStringLiteral("select * from %1 where codigo=%2").arg(m_tabela, SqlInteiro(codigo));
}

void TFCadastro::PECodigoExit()
{
    const QString codigo = m_codigo->text().trimmed();
    LimpaEdits();
    m_codigo->setText(codigo);
    TDMCUNE* dm = DMCUNE();
    if (codigo.isEmpty() || !dm)
        return;
    try {
        m_linha = LeLinha(dm->IBTLivre, sqlCarga(codigo));
    } catch (const std::exception& e) {
        MostraExcecao(e, QStringLiteral("Erro, verifique os dados digitados."));
        m_codigo->setFocus();
        return;
    }
    if (m_linha) {
        mostraLinha(*m_linha);
        if (!m_prefixoAviso.isEmpty())
            m_aviso->setText(AvisoExclusao(m_prefixoAviso, *m_linha));
    }
    atualizaReferencias();
    aposCarregar(m_linha.value_or(LinhaCadastro()));
}

void TFCadastro::atualizaReferencias()
{
    for (const LigacaoReferencia& r : std::as_const(m_referencias)) {
        try {
            r.rotulo->setText(r.ref.nomeDe ? r.ref.nomeDe(r.campo->text())
                                           : NomeLivre(r.campo->text(), r.ref.chave, r.ref.nome, r.ref.tabela));
        } catch (const std::exception& e) {
            r.rotulo->clear();
            MostraExcecao(e, QStringLiteral("Erro, verifique os dados digitados."));
        }
    }
}

bool TFCadastro::acaoRegistro(QWidget* botao, const std::function<void()>& acao, bool manterCodigo)
{
    if (!ExecutaAcao(botao, acao))
        return false;
    const QString codigo = m_codigo ? m_codigo->text() : QString();
    LimpaEdits();
    if (m_codigo && manterCodigo)
        m_codigo->setText(codigo);
    if (m_codigo)
        m_codigo->setFocus();
    return true;
}

void TFCadastro::showEvent(QShowEvent* ev)
{
    TFBase::showEvent(ev);
    if (m_codigo)
        m_codigo->setFocus();
}

bool TFCadastro::confirmaExclusao(const QString& texto)
{
    SuspendeFechamento s(this);
    return Confirma(texto);
}

} // namespace vx
