#include "core/TFUsuario.h"
#include "core/Banco.h"
#include "core/Login.h"
#include "core/Mensagens.h"
#include "core/TFprincipal.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/widgets/TFBase.h"
#include "core/widgets/TPersonEdit.h"

#include <QAbstractButton>
#include <QPushButton>

namespace vx {

TFUsuario::TFUsuario(TFprincipal* principal, QWidget* parent)
    : QDialog(parent)
    , m_principal(principal)
{
    setObjectName(QStringLiteral("TFUsuario"));
    setWindowTitle(QStringLiteral("Usuário e Senha"));
    m_usuario = new TPersonEdit(TPersonEdit::peTexto, QStringLiteral("Usuário:"), this);
    m_senha = new TPersonEdit(TPersonEdit::peTexto, QStringLiteral("Senha:"), this);
    m_usuario->setObjectName(QStringLiteral("PEUsuario"));
    m_senha->setObjectName(QStringLiteral("PESenha"));
    for (TPersonEdit* e : {m_usuario, m_senha}) {
        e->setValidar(false);
        e->setCaixa(TPersonEdit::caixaMinuscula);
        e->setMaxLength(15);
    }
    m_senha->setEchoMode(QLineEdit::Password);
    m_senha->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    m_confirmar = new QPushButton(QStringLiteral("&Confirmar"), this);
    m_confirmar->setObjectName(QStringLiteral("PBConfirmar"));
    m_fechar = new QPushButton(QStringLiteral("&Fechar Sistema"), this);
    m_fechar->setObjectName(QStringLiteral("PBFechar"));
    m_usuario->setGeometry(80, 14, 180, 24);
    m_senha->setGeometry(80, 46, 180, 24);
    m_confirmar->setGeometry(40, 88, 110, 30);
    m_fechar->setGeometry(160, 88, 120, 30);
    setFixedSize(300, 132);

    connect(m_confirmar, &QPushButton::clicked, this, [this] { PBConfirmarClick(); });
    connect(m_fechar, &QPushButton::clicked, this, &QDialog::reject);
    ConvencoesTeclado::Instala(this);
}

void TFUsuario::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    m_usuario->setFocus();
}

bool TFUsuario::PBConfirmarClick()
{
    const QString usuario = m_usuario->text();
    const QString senha = m_senha->text();
    TDMCUNE* dm = DMCUNE();
    if (usuario.isEmpty() || !dm)
        return false;
    ResultadoLogin r;
    try {
        r = VerificaLogin(dm->IBTransaction, usuario, senha);
    } catch (const ErroBanco& e) {
        MostraErro(e.texto());
        return false;
    }
    if (r == ResultadoLogin::Recusado) {
        MostraErro(QString::fromUtf8(kMsgLoginRecusado), QString());
        m_usuario->clear();
        m_senha->clear();
        m_usuario->setFocus();
        return false;
    }
    m_manutencao = r == ResultadoLogin::Manutencao;
    SessaoAtual().UsuarioLogado = NomeLogado(usuario);
    if (m_principal) {
        if (!m_manutencao)
            m_principal->HabilitaMenus();
        m_principal->MostraUsuarioLogado();
    }
    try {
        GravaVersaoExe(dm->IBDatabase, QString::fromLatin1(VersaoPrograma));
    } catch (const ErroBanco& e) {
        MostraErro(e.texto());
    }
    accept();
    return true;
}

} // namespace vx
