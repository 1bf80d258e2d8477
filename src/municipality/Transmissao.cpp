#include "municipality/Transmissao.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/RegistraLog.h"
#include "core/TarefaSemJanela.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "exchange/MensagemXml.h"
#include "exchange/ftp/FtpCliente.h"
#include "municipality/MensagemAutorizacao.h"

#include <QDir>
#include <QList>
#include <QHash>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>

namespace vx {

namespace {

const QString kSep = QStringLiteral("=//=");
// Marks are committed in groups: a mark lost with a crash only means the row is checked again.
constexpr int kMarcasPorCommit = 100;

bool cancelado(const ContextoTransmissao& ctx)
{
    return ctx.cancelado && ctx.cancelado();
}

// The date of a message field: "dd/mm/yyyy" possibly followed by the time.
QDate dataDaMensagem(const QString& texto)
{
    return QDate::fromString(texto.left(10), QStringLiteral("dd/MM/yyyy"));
}

} // namespace

QStringList ArquivosPendentes()
{
    QStringList r;
    const QStringList nomes = QDir(PastaEnvio()).entryList(QDir::Files, QDir::Name);
    for (const QString& n : nomes)
        if (n.startsWith(QLatin1Char('M'), Qt::CaseInsensitive) && n.endsWith(QLatin1String(".xml")))
            r << n;
    return r;
}

QString DestinoDaMensagem(const QString& caminho)
{
    const LeitorMensagem m = LeitorMensagem::doArquivo(caminho);
    const QString resp = m.valor(QStringLiteral("cabecalho/respEnvio")).trimmed();
    if (resp.startsWith(QLatin1Char('E'), Qt::CaseInsensitive) || resp.startsWith(QLatin1Char('P'), Qt::CaseInsensitive)) {
        QString texto = m.valor(QStringLiteral("marcacao/datadigitacao")).trimmed();
        if (texto.isEmpty())
            texto = m.valor(QStringLiteral("marcacao/datarealizacao")).trimmed();
        const QDate d = dataDaMensagem(texto);
        if (!d.isValid())
            throw ErroMensagem(QStringLiteral("Data de realização inválida: \"%1\"").arg(texto));
        return QStringLiteral("F") + d.toString(QStringLiteral("yyyy_MM"));
    }
    const QString prof = m.valor(QStringLiteral("marcacao/codprofissional")).trimmed();
    if (prof.isEmpty())
        return {};
    bool ok = false;
    const qint64 n = prof.toLongLong(&ok);
    if (!ok || n < 0)
        throw ErroMensagem(QStringLiteral("Código de profissional inválido: \"%1\"").arg(prof));
    return QStringLiteral("P") + QString::number(n);
}

ConferenciaPapel ConferenciaDoPapel()
{
    ConferenciaPapel c;
    const QString usuario = Geral::USUARIO();
    c.municipio = EhMunicipio();
    if (c.municipio) {
        c.pastaBase = QStringLiteral("marcacao");
        c.mascara = QStringLiteral("*M") + usuario.mid(1, 7) + QStringLiteral("*.xml");
    } else {
        c.pastaBase = QStringLiteral("faturamento");
        c.mascara = QStringLiteral("*_") + usuario.left(1).toUpper() + usuario.mid(1, 7) + QStringLiteral("*.xml");
    }
    return c;
}

QString NomeConferido(const QString& cliOrigem, qint64 idMarcacao)
{
    return EhMunicipio() ? NomeMensagemAutorizacao(cliOrigem, idMarcacao)
                         : NomeMensagemAutorizacao(cliOrigem, idMarcacao, Geral::USUARIO());
}

void IndiceListagem::carrega(const QStringList& linhas, const QString& mascara)
{
    static const QRegularExpression nomeMensagem(QStringLiteral("M\\d+_ID\\d+(?:_[^.\\s/]*)?\\.xml"),
                                                 QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression filtro(QRegularExpression::wildcardToRegularExpression(mascara),
                                    QRegularExpression::CaseInsensitiveOption);
    for (const QString& linha : linhas) {
        const EntradaListagem e = LeLinhaListagem(linha);
        const QString nome = e.nome.isEmpty() ? linha.trimmed() : e.nome;
        if (!filtro.match(nome).hasMatch())
            continue;
        auto it = nomeMensagem.globalMatch(linha);
        while (it.hasNext()) {
            const QString escrito = it.next().captured(0);
            const QString chave = escrito.toLower();
            if (m_nomes.contains(chave))
                continue; // the first line naming it decides
            m_nomes.insert(chave, Visto{e.nome == escrito, escrito, e.tamanho});
        }
    }
}

bool IndiceListagem::presente(const QString& nome) const
{
    const auto it = m_nomes.constFind(nome.toLower());
    if (it == m_nomes.constEnd())
        return false;
    return !(it->exato && it->escrito == nome && it->tamanho == 0);
}

namespace {

class Execucao {
public:
    Execucao(const ContextoTransmissao& ctx) : m_ctx(ctx) {}

    void linha(const QString& t) const
    {
        if (m_ctx.status)
            m_ctx.status(LinhaComHora(t));
    }

    void fase1(ResultadoTransmissao& r);
    void fase2(ResultadoTransmissao& r);

private:
    bool entraNaPasta(const QString& pasta);
    void marca(const QString& cliOrigem, qint64 id);
    void registra(const QString& descricao);
    void commitMarcas();
    const ContextoTransmissao& m_ctx;
    OpcoesEnvioFtp m_envio{true};
    int m_marcasAbertas = 0;
};

void Execucao::fase1(ResultadoTransmissao& r)
{
    // Every file is read first; then the files of each destination go together (in name order
    // within it), so the client changes folders once per destination.
    struct Envio {
        QString arquivo;
        QString destino;
    };
    const QString pasta = PastaEnvio();
    const auto enviando = [&](const QString& arquivo) {
        return QStringLiteral(" => Enviando arquivo ") + QDir::toNativeSeparators(pasta + arquivo) + QStringLiteral("...");
    };
    const QStringList pendentes = ArquivosPendentes();
    const int total = int(pendentes.size());
    QList<Envio> envios;
    QHash<QString, int> ordemDestino;
    for (const QString& arquivo : pendentes) {
        QString destino;
        try {
            destino = DestinoDaMensagem(pasta + arquivo);
        } catch (const std::exception& e) {
            const auto* em = dynamic_cast<const ErroMensagem*>(&e);
            linha(enviando(arquivo));
            linha(QStringLiteral(" => Arquivo ilegível, não enviado: ") + (em ? em->texto() : QString::fromUtf8(e.what())));
            ++r.falhados;
            continue;
        }
        if (destino.isEmpty()) {
            linha(enviando(arquivo));
            linha(QStringLiteral(" => Arquivo sem profissional, não enviado."));
            ++r.ignorados;
            continue;
        }
        ordemDestino.insert(destino, ordemDestino.value(destino, int(ordemDestino.size())));
        envios.append({arquivo, destino});
    }
    std::stable_sort(envios.begin(), envios.end(),
                     [&](const Envio& a, const Envio& b) { return ordemDestino.value(a.destino) < ordemDestino.value(b.destino); });
    int feitos = r.falhados + r.ignorados;
    for (const Envio& e : std::as_const(envios)) {
        if (cancelado(m_ctx))
            break;
        if (m_ctx.progresso)
            m_ctx.progresso(feitos++, total);
        linha(enviando(e.arquivo));
        const bool realizacao = e.destino.startsWith(QLatin1Char('F'));
        if (!EnviaArquivoFtp(*m_ctx.ftp, e.arquivo, e.destino, m_ctx.status, m_envio)) {
            linha(LinhaEnvioPendente(realizacao ? QStringLiteral("Não enviado") : QStringLiteral("Envio não concluído"), e.arquivo));
            ++r.falhados;
            continue;
        }
        ++r.enviados;
        const MarcaEnvio m = MarcaEnviado(e.arquivo);
        if (realizacao)
            linha(QStringLiteral(" => OK!"));
        else if (m == MarcaEnvio::Renomeado)
            linha(QStringLiteral(" => Renomeado OK!"));
        else
            linha(QStringLiteral(" => Renomeado OK...!"));
    }
    if (m_ctx.progresso)
        m_ctx.progresso(total, total);
}

bool Execucao::entraNaPasta(const QString& pasta)
{
    FtpCliente& l = *m_ctx.lista;
    try {
        l.mudaPasta(pasta);
        return true;
    } catch (const ErroFtp& e) {
        if (!e.texto().contains(QLatin1String("directory")) || l.interrompido())
            return false;
    }
    try {
        l.criaPasta(pasta);
        l.mudaPasta(pasta);
        return true;
    } catch (const ErroFtp&) {
        return false;
    }
}

void Execucao::registra(const QString& descricao)
{
    RegistraLog(*m_ctx.marca, QStringLiteral("Marcacao"), QStringLiteral("X"), descricao);
    ++m_marcasAbertas;
}

void Execucao::marca(const QString& cliOrigem, qint64 id)
{
    m_ctx.marca->executa(QStringLiteral("update marcacao set conferiuftp='S' where cli_origem=%1 and id_marcacao=%2")
                             .arg(SqlTexto(cliOrigem), SqlInteiro(id)));
    if (++m_marcasAbertas >= kMarcasPorCommit)
        commitMarcas();
}

void Execucao::commitMarcas()
{
    if (m_ctx.marca->ativa())
        m_ctx.marca->commit();
    m_marcasAbertas = 0;
}

void Execucao::fase2(ResultadoTransmissao& r)
{
    const ConferenciaPapel papel = ConferenciaDoPapel();
    linha(QStringLiteral(" => Conferindo autorizações enviadas..."));
    const QString sql = papel.municipio
                            ? QStringLiteral("select cli_origem, id_marcacao, codprofissional, data_digitacao from marcacao"
                                             " where datalanc >= (current_date-180) and conferiuftp is null and"
                                             " codprofissional is not null and databloqueio is null and coalesce(finalizada, 'S')='S'"
                                             " order by codprofissional")
                            : QStringLiteral("select cli_origem, id_marcacao, codprofissional, data_digitacao from marcacao"
                                             " where data_digitacao >= (current_date-30) and conferiuftp is null and"
                                             " data_digitacao is not null and datarealizacao is not null order by data_digitacao");
    Transacao& leitura = *m_ctx.leitura;
    leitura.inicia();
    Consulta q(leitura);
    q.abre(sql);
    FtpCliente& l = *m_ctx.lista;
    bool conectado = false;
    QString pastaListada; // remembered across rows
    QString base;         // folder the listings return to
    IndiceListagem indice;
    try {
        for (; !q.eof() && !cancelado(m_ctx); q.proximo()) {
            const QString cli = q.campo("CLI_ORIGEM").texto();
            const qint64 id = q.campo("ID_MARCACAO").inteiro();
            const qint64 prof = q.campo("CODPROFISSIONAL").inteiro();
            linha(QStringLiteral(" => Verificando Lancamento %1 - Prof.: %2")
                      .arg(QString::number(id).rightJustified(7, QLatin1Char('0')),
                           QString::number(prof).rightJustified(5, QLatin1Char('0'))));
            if (!conectado) {
                bool ok = false;
                try {
                    // A server where nothing was sent yet has no such folder: it is created.
                    ok = ConectaFtp(l) && entraNaPasta(papel.pastaBase);
                } catch (const std::exception&) {
                    ok = false;
                }
                if (!ok) {
                    linha(QStringLiteral(" => Não foi possível estabelecer a conexão com o servidor FTP!"));
                    r.semConexaoConferencia = true;
                    break;
                }
                conectado = true;
                base = l.pastaAtual();
            }
            const QString periodo = q.campo("DATA_DIGITACAO").dataHora().date().toString(QStringLiteral("yyyy_MM"));
            const QString pasta = papel.municipio ? QStringLiteral("profiss") + QString::number(prof).rightJustified(5, QLatin1Char('0'))
                                                  : periodo;
            if (pasta != pastaListada) {
                pastaListada = pasta;
                indice.limpa();
                if (entraNaPasta(pasta)) {
                    try {
                        indice.carrega(l.listaDetalhada(), papel.mascara);
                    } catch (const ErroFtp&) {
                    }
                }
                try {
                    if (l.pastaAtual() != base)
                        l.mudaPasta(base);
                } catch (const ErroFtp&) {
                }
            }
            const QString nome = NomeConferido(cli, id);
            bool conferido = indice.presente(nome);
            if (!conferido) {
                try {
                    const qint64 profMsg = RecriaMensagem(leitura, cli, id, nome);
                    conferido = true;
                    linha(QStringLiteral(" => Enviando arquivo XML ") + nome + QStringLiteral("..."));
                    const QString destino = papel.municipio ? QStringLiteral("P") + QString::number(profMsg)
                                                            : QStringLiteral("F") + periodo;
                    if (EnviaArquivoFtp(*m_ctx.ftp, nome, destino, m_ctx.status, m_envio)) {
                        MarcaEnviado(nome);
                        linha(QStringLiteral(" => Arquivo Enviado OK!"));
                        registra(nome + kSep + QStringLiteral("Enviou xml."));
                        ++r.recriados;
                    } else {
                        linha(LinhaEnvioPendente(QStringLiteral("Não enviado"), nome));
                        if (papel.municipio)
                            registra(nome + kSep + QStringLiteral("Falhou ao enviar xml."));
                        ++r.naoRecriados;
                    }
                } catch (const std::exception&) {
                    linha(QStringLiteral(" => Não foi possível ENVIAR o arquivo ") + nome);
                    registra(nome + kSep + QStringLiteral("Não foi possível enviar xml."));
                    ++r.naoRecriados;
                }
            }
            // Checked only when found on the server or re-created here (a failed upload of the
            // re-created file stays pending for the next run).
            if (conferido) {
                marca(cli, id);
                ++r.conferidos;
            }
        }
        q.fecha();
        leitura.rollback();
        commitMarcas();
    } catch (...) {
        try {
            commitMarcas(); // what was checked stays checked
        } catch (...) {
        }
        throw;
    }
}

} // namespace

ResultadoTransmissao ExecutaTransmissao(const ContextoTransmissao& ctx, bool conferir)
{
    ResultadoTransmissao r;
    Execucao ex(ctx);
    ex.linha(QStringLiteral(" => Verificando arquivos..."));
    try {
        CriaPastasTroca();
        ex.fase1(r);
        if (!cancelado(ctx) && (EhMunicipio() || conferir))
            ex.fase2(r);
        if (cancelado(ctx)) {
            r.cancelada = true;
            ex.linha(QStringLiteral(" => Processo cancelado pelo usuário."));
            ex.linha(QStringLiteral(" => %1 arquivos enviados e %2 arquivos falhados!").arg(r.enviados + r.recriados).arg(r.falhados + r.naoRecriados));
            return r;
        }
        if (ctx.status) {
            ctx.status(QString());
            ctx.status(QStringLiteral("     ***>>> PROCESSO CONCLUÍDO <<<***"));
            ctx.status(QString());
        }
        ex.linha(QStringLiteral(" => %1 arquivos enviados e %2 arquivos falhados!").arg(r.enviados + r.recriados).arg(r.falhados + r.naoRecriados));
        Transacao& p = *ctx.principal;
        p.inicia();
        p.executa(QStringLiteral("update tabdiv set DataUltRetransmissao=%1").arg(SqlData(ctx.dataAtual)));
        p.commit();
        r.concluida = true;
        ex.linha(ctx.semJanela ? QStringLiteral(" => Concluído!")
                               : QStringLiteral(" => Concluído! Feche esta tela para prosseguir no sistema."));
    } catch (const std::exception& e) {
        for (Transacao* t : {ctx.principal, ctx.leitura, ctx.marca}) {
            try {
                if (t)
                    t->rollback();
            } catch (...) {
            }
        }
        const auto* eb = dynamic_cast<const ErroBanco*>(&e);
        r.erro = eb ? eb->texto() : QString::fromUtf8(e.what());
        if (ctx.status)
            ctx.status(LinhaComHora(QString()) + QStringLiteral(" => Erro na execução!!!"));
        ex.linha(QStringLiteral(" => ") + r.erro);
    }
    return r;
}

TransmissaoNoBanco::TransmissaoNoBanco(TDMCUNE& dm, FtpCliente& ftp)
    : m_leitura(std::make_unique<Transacao>(dm.IBDatabase))
    , m_marca(std::make_unique<Transacao>(dm.IBDatabase))
    , m_lista(std::make_unique<FtpCliente>())
{
    ctx.principal = &dm.IBTransaction;
    ctx.leitura = m_leitura.get();
    ctx.marca = m_marca.get();
    ctx.ftp = &ftp;
    ctx.lista = m_lista.get();
    ctx.dataAtual = DataAtualDate();
}

TransmissaoNoBanco::~TransmissaoNoBanco()
{
    m_lista->desconecta();
}

int TransmiteSemJanela(TDMCUNE& dm, QTextStream& saida)
{
    const QChar papel = PapelInstalacao();
    if (papel != QLatin1Char('M') && papel != QLatin1Char('E') && papel != QLatin1Char('P')) {
        saida << QStringLiteral("A transmissão é feita pelas instalações de municípios, entidades e profissionais.") << Qt::endl;
        return TarefaImpossivel;
    }
    if (!Geral::ATIVARFTP())
        saida << LinhaComHora(QStringLiteral(" => FTP desativado nesta instalação (ATIVARFTP).")) << Qt::endl;
    TransmissaoNoBanco t(dm, ClienteFtpCompartilhado());
    t.ctx.status = [&saida](const QString& l) { saida << l << Qt::endl; };
    t.ctx.semJanela = true;
    const ResultadoTransmissao r = ExecutaTransmissao(t.ctx, false);
    t.ctx.ftp->desconecta();
    saida << QStringLiteral("Enviados: %1; falhados: %2; sem profissional: %3; conferidos: %4; recriados e enviados: %5; "
                            "não recriados ou não enviados: %6%7.")
                 .arg(r.enviados)
                 .arg(r.falhados)
                 .arg(r.ignorados)
                 .arg(r.conferidos)
                 .arg(r.recriados)
                 .arg(r.naoRecriados)
                 .arg(r.semConexaoConferencia ? QStringLiteral("; conferência sem conexão") : QString())
          << Qt::endl;
    if (!r.erro.isEmpty())
        return TarefaImpossivel;
    return r.tudoEnviado() ? TarefaCompleta : TarefaIncompleta;
}

} // namespace vx
