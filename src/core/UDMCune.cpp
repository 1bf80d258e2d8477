#include "core/UDMCune.h"
#include "core/Configuracao.h"

namespace vx {

namespace {
TDMCUNE*& atual()
{
    static TDMCUNE* dm = nullptr;
    return dm;
}
} // namespace

QString UsuarioBanco()
{
    const QString env = qEnvironmentVariable("VORNEX_DB_USUARIO");
    return env.isEmpty() ? QStringLiteral("SYSDBA") : env;
}

QString SenhaBanco()
{
    const QString env = qEnvironmentVariable("VORNEX_DB_SENHA");
    if (!env.isEmpty())
        return env;
    const QString ini = Ini().le(QStringLiteral("GERAL"), QStringLiteral("DBSENHA"));
    return ini.isEmpty() ? QString::fromLatin1(kSenhaBancoPadrao) : ini;
}

TDMCUNE::TDMCUNE()
{
    if (!atual())
        atual() = this;
}

TDMCUNE::~TDMCUNE()
{
    IBQuery.fecha();
    IBQLivre.fecha();
    IBQMunics.fecha();
    try {
        IBTransaction.rollback();
        IBTLivre.rollback();
    } catch (...) {
    }
    IBDatabase.desconecta();
    if (atual() == this)
        atual() = nullptr;
}

QString TDMCUNE::MensagemFalhaConexao(const QString& nome)
{
    return QStringLiteral("Não encontrado arquivo de banco de dados em ") + nome;
}

bool TDMCUNE::ConectaBanco(const QString& nome, QString* erro)
{
    const QString banco = nome.isNull() ? Geral::DATABASE() : nome;
    try {
        IBQuery.fecha();
        IBQLivre.fecha();
        IBQMunics.fecha();
        IBTransaction.rollback();
        IBTLivre.rollback();
        IBDatabase.desconecta();
        if (banco.trimmed().isEmpty())
            throw ErroBanco(QStringLiteral("Banco de dados não configurado"));
        IBDatabase.conecta(banco, UsuarioBanco(), SenhaBanco());
        IBTransaction.inicia();
        return IBDatabase.conectado();
    } catch (const ErroBanco& e) {
        if (erro)
            *erro = e.texto();
        return false;
    }
}

TDMCUNE* DMCUNE()
{
    return atual();
}

void DefineDMCUNE(TDMCUNE* dm)
{
    atual() = dm;
}

} // namespace vx
