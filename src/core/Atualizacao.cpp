#include "core/Atualizacao.h"
#include "core/Configuracao.h"
#include "core/Http.h"
#include "core/Mensagens.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "exchange/ftp/FtpCliente.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <cstdio>

namespace vx {

ErroAtualizacao::ErroAtualizacao(const QString& texto) : std::runtime_error(texto.toStdString()), m_texto(texto) {}

namespace {

AcoesAtualizacao& acoes()
{
    static AcoesAtualizacao a;
    return a;
}

QString local(const char* nome)
{
    return CaminhoInstalacao(QString::fromLatin1(nome));
}

// Fetches the compressed updater of the profile folder into a file of its own, which replaces
// the local copy only once it has the remote size. A leftover of an earlier run is never resumed
// (it may belong to an older remote file); a transfer broken in this run is resumed once.
void baixaAtualizador(FtpCliente& ftp)
{
    const QString remoto = QString::fromLatin1(kAtualizadorCompactado);
    const QString destino = local(kAtualizadorCompactado);
    const QString parcial = destino + QStringLiteral(".part");
    qint64 tamanho = -2; // -1: not on the server; -2: not told
    try {
        tamanho = ftp.tamanho(remoto);
    } catch (const ErroFtp&) {
    }
    if (tamanho == -1)
        return;
    QFile::remove(parcial);
    bool recebido = false;
    for (int tentativa = 0; tentativa < 2 && !recebido && !ftp.interrompido(); ++tentativa) {
        const qint64 tem = QFileInfo(parcial).size();
        try {
            ftp.recebe(remoto, parcial, tentativa > 0 && tem > 0 && tem < tamanho);
            recebido = true;
        } catch (const ErroFtp&) {
        }
    }
    if (recebido && (tamanho < 0 || QFileInfo(parcial).size() == tamanho) &&
        std::rename(QFile::encodeName(parcial).constData(), QFile::encodeName(destino).constData()) == 0)
        return;
    QFile::remove(parcial);
}

bool ehElf(const QString& arquivo)
{
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) && f.read(4) == QByteArrayLiteral("\x7f" "ELF");
}

// Inflates the updater when its compressed form is here. The profile folder also serves Windows
// installations: anything but a Linux executable counts as no updater.
bool preparaAtualizador()
{
    const QString compactado = local(kAtualizadorCompactado);
    const QString programa = local(kAtualizador);
    if (!QFile::exists(compactado))
        return ehElf(programa);
    if (!DescompactaArquivo(compactado, programa))
        return false;
    if (!ehElf(programa)) {
        QFile::remove(programa);
        return false;
    }
    QFile::setPermissions(programa, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    return true;
}

struct DocumentoVersao {
    QString versaoAtual, link, mensagemMunic, obrigMunic, mensagemEntidade, obrigEntidade;
};

DocumentoVersao leDocumentoVersao(const QString& erroDownload)
{
    const QString nome = QString::fromLatin1(kDocumentoVersao);
    QFile f(local(kDocumentoVersao));
    if (!f.open(QIODevice::ReadOnly))
        throw ErroAtualizacao(erroDownload.isEmpty()
                                  ? QStringLiteral("Não foi possível ler o arquivo de versão do sistema [%1].").arg(nome)
                                  : QStringLiteral("Não foi possível obter o arquivo de versão do sistema [%1]: %2")
                                        .arg(nome, erroDownload));
    QDomDocument doc;
    QString erro;
    int linha = 0;
    if (!doc.setContent(&f, &erro, &linha))
        throw ErroAtualizacao(QStringLiteral("O arquivo de versão do sistema [%1] não pôde ser lido: %2 (linha %3).")
                                  .arg(nome, erro)
                                  .arg(linha));
    const QDomElement cabecalho = doc.documentElement().firstChildElement(QStringLiteral("cabecalho"));
    const auto texto = [&](const char* n) { return cabecalho.firstChildElement(QLatin1String(n)).text().trimmed(); };
    return {texto("versaoAtual"), texto("link"), texto("mensagemMunic"), texto("obrigMunic"), texto("mensagemEntidade"),
            texto("obrigEntidade")};
}

bool iniciaPrograma(const QString& programa)
{
    if (acoes().iniciaPrograma)
        return acoes().iniciaPrograma(programa);
    return QProcess::startDetached(programa, {}, QFileInfo(programa).absolutePath());
}

void abrePasta(const QString& pasta)
{
    if (acoes().abrePasta)
        acoes().abrePasta(pasta);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(pasta));
}

void encerraPrograma()
{
    if (acoes().encerraPrograma)
        acoes().encerraPrograma();
    else if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

} // namespace

void PedeEncerramentoPrograma()
{
    encerraPrograma();
}

void DefineAcoesAtualizacao(const AcoesAtualizacao& a)
{
    acoes() = a;
}

QString NomePacoteAtualizacao(const QString& versao)
{
    QString v = versao;
    const qsizetype ponto = v.indexOf(QLatin1Char('.'));
    if (ponto >= 0)
        v[ponto] = QLatin1Char('_');
    return QStringLiteral("ATUALIZACAO ") + v + QStringLiteral(".ZIP");
}

bool VerificaAtualizacao(FtpCliente& ftp)
{
    baixaAtualizador(ftp);

    QString erroDownload;
    const QString endereco = Geral::SITEATUALIZACAO() + QString::fromLatin1(QUrl::toPercentEncoding(Geral::CONSORCIO())) +
                             QLatin1Char('/') + QString::fromLatin1(kDocumentoVersao);
    BaixaHttp(endereco, local(kDocumentoVersao), &erroDownload);

    const bool atualizador = preparaAtualizador();
    const DocumentoVersao doc = leDocumentoVersao(erroDownload);
    if (!(doc.versaoAtual > QLatin1String(VersaoPrograma)))
        return true;

    const QString pacote = NomePacoteAtualizacao(doc.versaoAtual);
    BaixaHttp(doc.link, CaminhoInstalacao(pacote));

    const bool municipio = EhMunicipio();
    const QString& mensagem = municipio ? doc.mensagemMunic : doc.mensagemEntidade;
    const bool obrigatoria = (municipio ? doc.obrigMunic : doc.obrigEntidade) == QLatin1String("S");
    const QString titulo = QStringLiteral("Atualização");
    if (!obrigatoria) {
        Avisa(QStringLiteral("HÁ UMA ATUALIZAÇÃO DISPONÍVEL DO SISTEMA QUE PODE SER FEITA DESCOMPACTANDO O ARQUIVO [") +
                  pacote + QStringLiteral("] QUE SE ENCONTRA NA PASTA DESTE SISTEMA.\n\n") + mensagem,
              titulo);
        return true;
    }
    if (atualizador) {
        Avisa(QStringLiteral("HÁ UMA ATUALIZAÇÃO OBRIGATÓRIA DO SISTEMA!\n\n"
                             "TECLE [ENTER] PARA FECHAR O PROGRAMA E INICIAR O PROCESSO AUTOMÁTICO DE ATUALIZAÇÃO!"),
              titulo);
        if (iniciaPrograma(local(kAtualizador))) {
            encerraPrograma();
            return false;
        }
    }
    // No updater, or it would not start: the user unpacks the package by hand.
    Avisa(QStringLiteral("HÁ UMA ATUALIZAÇÃO OBRIGATÓRIA DO SISTEMA QUE DEVE SER FEITA DESCOMPACTANDO O ARQUIVO [") +
              pacote +
              QStringLiteral("] QUE SE ENCONTRA NA PASTA DESTE SISTEMA.\n\n"
                             "AGORA ESTA PASTA SERÁ ABERTA E O SISTEMA SERÁ FECHADO PARA QUE VOCÊ FAÇA A ATUALIZAÇÃO!\n\n") +
              mensagem,
          titulo);
    abrePasta(PastaInstalacao());
    encerraPrograma();
    return false;
}

} // namespace vx
