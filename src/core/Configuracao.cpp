#include "core/Configuracao.h"
#include "core/Texto1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace vx {

namespace {
QString secaoDe(const QString& linha)
{
    const QString t = linha.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return {};
}

bool ehComentario(const QString& t)
{
    return t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}
} // namespace

void Configuracao::carrega(const QString& arquivo)
{
    m_arquivo = arquivo;
    m_linhas.clear();
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QByteArray dados = f.readAll();
    QString texto = de1252(dados);
    m_fimLinha = texto.contains(QLatin1String("\r\n")) || !texto.contains(QLatin1Char('\n'))
                     ? QStringLiteral("\r\n") : QStringLiteral("\n");
    m_fimFinal = texto.isEmpty() || texto.endsWith(QLatin1Char('\n'));
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_linhas = texto.split(QLatin1Char('\n'));
    if (m_fimFinal && !m_linhas.isEmpty() && m_linhas.last().isEmpty())
        m_linhas.removeLast();
}

int Configuracao::linhaDa(const QString& secao, const QString& chave) const
{
    bool dentro = false;
    for (int i = 0; i < m_linhas.size(); ++i) {
        const QString t = m_linhas[i].trimmed();
        if (t.startsWith(QLatin1Char('['))) {
            dentro = secaoDe(t).compare(secao, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!dentro || ehComentario(t))
            continue;
        const int eq = t.indexOf(QLatin1Char('='));
        if (eq > 0 && t.left(eq).trimmed().compare(chave, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString Configuracao::le(const QString& secao, const QString& chave, const QString& padrao) const
{
    const int i = linhaDa(secao, chave);
    if (i < 0)
        return padrao;
    const QString& l = m_linhas[i];
    return l.mid(l.indexOf(QLatin1Char('=')) + 1).trimmed();
}

bool Configuracao::existe(const QString& secao, const QString& chave) const
{
    return linhaDa(secao, chave) >= 0;
}

bool Configuracao::leBool(const QString& secao, const QString& chave, bool padrao) const
{
    const QString v = le(secao, chave).trimmed();
    if (v.isEmpty())
        return padrao;
    const QString u = v.toUpper();
    if (u == QLatin1String("1") || u == QLatin1String("TRUE") || u == QLatin1String("S") ||
        u == QLatin1String("SIM") || u == QLatin1String("YES"))
        return true;
    if (u == QLatin1String("0") || u == QLatin1String("FALSE") || u == QLatin1String("N") ||
        u == QLatin1String("NAO") || u == QLatin1String("NÃO") || u == QLatin1String("NO"))
        return false;
    return padrao;
}

int Configuracao::leInt(const QString& secao, const QString& chave, int padrao) const
{
    bool ok = false;
    const int v = le(secao, chave).trimmed().toInt(&ok);
    return ok ? v : padrao;
}

void Configuracao::escreve(const QString& secao, const QString& chave, const QString& valor)
{
    const int i = linhaDa(secao, chave);
    if (i >= 0) {
        const QString& l = m_linhas[i];
        m_linhas[i] = l.left(l.indexOf(QLatin1Char('=')) + 1) + valor;
    } else {
        int fimSecao = -1;
        bool dentro = false;
        for (int k = 0; k < m_linhas.size(); ++k) {
            const QString t = m_linhas[k].trimmed();
            if (t.startsWith(QLatin1Char('[')))
                dentro = secaoDe(t).compare(secao, Qt::CaseInsensitive) == 0;
            if (dentro && !t.isEmpty())
                fimSecao = k;
        }
        if (fimSecao < 0) {
            m_linhas << QLatin1Char('[') + secao + QLatin1Char(']');
            fimSecao = int(m_linhas.size()) - 1;
        }
        m_linhas.insert(fimSecao + 1, chave + QLatin1Char('=') + valor);
    }
    if (m_arquivo.isEmpty())
        return;
    QString texto = m_linhas.join(m_fimLinha);
    if (m_fimFinal && !m_linhas.isEmpty())
        texto += m_fimLinha;
    QSaveFile f(m_arquivo);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(para1252(texto));
        f.commit();
    }
}

// ---------------------------------------------------------------- installation folder

namespace {
QString& pastaDefinida()
{
    static QString p;
    return p;
}
Configuracao& ini()
{
    static Configuracao c;
    return c;
}
} // namespace

void DefinePastaInstalacao(const QString& pasta)
{
    pastaDefinida() = QDir(pasta).absolutePath();
}

QString PastaInstalacao()
{
    if (!pastaDefinida().isEmpty())
        return pastaDefinida();
    const QString env = qEnvironmentVariable("VORNEX_PASTA");
    if (!env.isEmpty())
        return QDir(env).absolutePath();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString CaminhoInstalacao(const QString& relativo)
{
    return QDir(PastaInstalacao()).filePath(relativo);
}

void CarregaConfiguracao()
{
    ini().carrega(CaminhoInstalacao(QStringLiteral("vornex.conf")));
}

Configuracao& Ini()
{
    return ini();
}

namespace Geral {
static const QString G = QStringLiteral("GERAL");
QString DATABASE() { return Ini().le(G, QStringLiteral("DATABASE")); }
QString USUARIO() { return Ini().le(G, QStringLiteral("USUARIO")); }
QString CONSORCIO() { return Ini().le(G, QStringLiteral("CONSORCIO")); }
QString NTP() { return Ini().le(G, QStringLiteral("NTP"), QString::fromLatin1(kNtpPadrao)); }
bool ATIVARFTP() { return Ini().leBool(G, QStringLiteral("ATIVARFTP"), true); }
int PORTA() { return Ini().leInt(G, QStringLiteral("PORTA"), 21); }
QString CEP() { return Ini().le(G, QStringLiteral("CEP")); }
QString LOGO() { return Ini().le(G, QStringLiteral("LOGO")); }
QString CNES() { return Ini().le(G, QStringLiteral("CNES")); }
QString CNPJCPF() { return Ini().le(G, QStringLiteral("CNPJCPF")); }
QString ENDERECO() { return Ini().le(G, QStringLiteral("ENDERECO")); }
QString NUMERO() { return Ini().le(G, QStringLiteral("NUMERO")); }
QString CIDADE() { return Ini().le(G, QStringLiteral("CIDADE")); }
QString UF() { return Ini().le(G, QStringLiteral("UF")); }
QString CONTATO() { return Ini().le(G, QStringLiteral("CONTATO")); }
QString RESPONSAVEL() { return Ini().le(G, QStringLiteral("RESPONSAVEL")); }
QString CARGORESP() { return Ini().le(G, QStringLiteral("CARGORESP")); }
QString DESCTAXA() { return Ini().le(G, QStringLiteral("DESCTAXA")); }
QString PREFEITURA() { return Ini().le(G, QStringLiteral("PREFEITURA")); }
} // namespace Geral

} // namespace vx
