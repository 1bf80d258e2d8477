#include "exchange/RecepcaoBase.h"
#include "core/Atualizacao.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/TarefaSemJanela.h"
#include "core/Texto1252.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "exchange/Atendimentos.h"
#include "exchange/CorrecaoConsultas.h"
#include "exchange/LoteImportacao.h"
#include "exchange/MensagemXml.h"
#include "exchange/ftp/FtpCliente.h"

#include <QSaveFile>
#include <QTextStream>

namespace vx {

namespace {

void gravaArquivo(const QString& caminho, const QByteArray& dados)
{
    QSaveFile f(caminho);
    if (!f.open(QIODevice::WriteOnly) || f.write(dados) != dados.size() || !f.commit())
        throw ErroMensagem(QStringLiteral("Não foi possível gravar o arquivo ") + caminho + QStringLiteral(": ") +
                           f.errorString());
}

} // namespace

ResultadoEnvioBase EnviaBaseCadastral(Transacao& tr, FtpCliente& ftp, const LinhaStatus& status, const QDateTime& agora)
{
    ResultadoEnvioBase r;
    const auto linha = [&](const QString& t) {
        if (status)
            status(t.isEmpty() || !t.startsWith(QLatin1String(" =>")) ? t : LinhaComHora(t));
    };
    CriaPastasTroca();
    const auto gera = [&](const char* arquivo, const std::function<QByteArray()>& monta) {
        try {
            tr.inicia();
            const QByteArray dados = monta();
            tr.rollback();
            gravaArquivo(PastaEnvio() + QLatin1String(arquivo), dados);
            return true;
        } catch (const std::exception& e) {
            tr.rollback();
            r.erro = TextoErro(e);
            linha(QStringLiteral(" => Erro: ") + r.erro);
            return false;
        }
    };
    linha(QStringLiteral(" => Gerando arquivo XML..."));
    if (gera(kArquivoBase, [&] { return MontaBaseCune(tr, DataAtualDate(), agora); }))
        r.baseEnviada = EnviaArquivoFtp(ftp, QLatin1String(kArquivoBase), QString(), status);
    linha(QStringLiteral(" => Gerando arquivo XML das glosas..."));
    if (gera(kArquivoGlosas, [&] { return MontaBaseGlosas(tr, agora); }))
        r.glosasEnviadas = EnviaArquivoFtp(ftp, QLatin1String(kArquivoGlosas), QString(), status);
    linha(QString());
    linha(QStringLiteral("PROCESSO CONCLUÍDO!!!"));
    return r;
}

QDate LeDataUltRecepcao(Transacao& tr)
{
    const QVariant v = tr.valor(QStringLiteral("select first 1 DATAULTRECEPCAO from tabdiv"));
    const QDate d = v.isValid() ? v.toDate() : QDate();
    return d.isValid() ? d : QDate(1, 1, 1);
}

bool DeveReceberBase(const QDate& dataAtual, const QDate& ultimaRecepcao)
{
    return dataAtual.isValid() && dataAtual > (ultimaRecepcao.isValid() ? ultimaRecepcao : QDate(1, 1, 1));
}

bool AtrasoEncerraMunicipio(const QDate& dataAtual, const QDate& ultimaRecepcao)
{
    const QDate ultima = ultimaRecepcao.isValid() ? ultimaRecepcao : QDate(1, 1, 1);
    return dataAtual.isValid() && ultima.daysTo(dataAtual) >= 4;
}

QByteArray RelatorioAcesso(const QString& usuario, const QString& dataAtual, const QDateTime& agora)
{
    return para1252(QStringLiteral("User: ") + usuario + QStringLiteral(" - ") + dataAtual + QStringLiteral(" - ") +
                    agora.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))) +
           "\r\n" + para1252(QStringLiteral("Versão: ") + QLatin1String(VersaoPrograma)) + "\r\n";
}

QList<qint64> ProfissionaisDoPrestador(Transacao& tr, QChar papel, const QString& codigoProprio)
{
    if (papel == QLatin1Char('P'))
        return {codigoProprio.trimmed().toLongLong()};
    if (papel != QLatin1Char('E'))
        return {};
    QList<qint64> r;
    Consulta q(tr);
    q.abre(QStringLiteral("select CodProfissional from EntidadesProfiss where CodEntidade=") + SqlInteiro(codigoProprio) +
           QStringLiteral(" order by CodProfissional"));
    for (; !q.eof(); q.proximo())
        r << q.campo(0).inteiro();
    if (r.isEmpty())
        r << 0;
    return r;
}

namespace {

// The steps both receptions share.
class Recepcao {
public:
    explicit Recepcao(const ContextoBase& ctx) : c(ctx), tr(*ctx.tr), ftp(*ctx.ftp) {}

    QDateTime agora() const { return c.agora.isValid() ? c.agora : QDateTime::currentDateTime(); }

    void linha(const QString& t) const
    {
        if (c.status)
            c.status(LinhaComHora(t));
    }
    void aviso(const QString& t) const
    {
        if (c.aviso)
            c.aviso(t);
    }
    void erro(const QString& titulo, const QString& t) const
    {
        if (c.erro)
            c.erro(titulo, t);
    }

    bool conecta()
    {
        linha(QStringLiteral(" => Conectando ao servidor ftp..."));
        bool ok = false;
        try {
            ok = ConectaFtp(ftp);
        } catch (const ErroFtp& e) {
            r.erro = e.texto();
        }
        if (!ok) {
            if (c.status)
                c.status(QStringLiteral("Falha na Conexão com o Servidor FTP!"));
            r.falhou = true;
            if (r.erro.isEmpty())
                r.erro = QStringLiteral("Falha na Conexão com o Servidor FTP!");
            return false;
        }
        r.conectou = true;
        return true;
    }

    // The update check; false when the run ends here (the version may not run, or the check
    // failed and `falha` was told).
    bool verificaVersao(const std::function<void(const QString&)>& falha)
    {
        linha(QStringLiteral(" => Conectado, Procurando por versões..."));
        try {
            if (VerificaAtualizacao(ftp))
                return true;
            ftp.desconecta();
            r.encerrarPrograma = true;
            r.falhou = true;
            r.erro = QStringLiteral("Feche o sistema e Atualize a Versão!");
            if (c.versaoBloqueada)
                c.versaoBloqueada();
            linha(QStringLiteral(" => ") + r.erro);
        } catch (const std::exception& e) {
            r.falhou = true;
            r.erro = TextoErro(e);
            falha(r.erro);
        }
        return false;
    }

    bool baixa(const char* arquivo, const QString& local)
    {
        ftp.recebe(QLatin1String(arquivo), local);
        return true;
    }

    // Both passes over the downloaded files; false when nothing could be merged.
    bool valida(const std::function<void()> f)
    {
        try {
            tr.inicia();
            f();
            tr.rollback();
            return true;
        } catch (const std::exception& e) {
            tr.rollback();
            r.falhou = true;
            r.erro = TextoErro(e);
            linha(QStringLiteral(" => ") + r.erro);
            linha(QStringLiteral(" => Nenhuma alteração foi feita."));
            erro(QStringLiteral("Recepção de Bases Cadastrais"),
                 r.erro + QStringLiteral("\n\nNenhuma alteração foi feita na base de dados."));
            return false;
        }
    }

    ResultadoBase importa(const QString& local, ConteudoBase conteudo)
    {
        AvisosBase a = c.avisos;
        a.status = [this](const QString& t) { linha(t); };
        return ImportaBase(tr, local, conteudo, a, agora());
    }

    void gravaData()
    {
        tr.inicia();
        tr.executa(QStringLiteral("update tabdiv set DataUltRecepcao=") + SqlData(DataAtualDate()));
        tr.commit();
        r.concluida = true;
    }

    const ContextoBase& c;
    Transacao& tr;
    FtpCliente& ftp;
    ResultadoRecepcaoBase r;
};

} // namespace

ResultadoRecepcaoBase RecebeBaseMunicipio(const ContextoBase& ctx)
{
    CriaPastasTroca();
    Recepcao rc(ctx);
    ResultadoRecepcaoBase& r = rc.r;
    if (!rc.conecta()) {
        QDate ultima;
        try {
            ultima = LeDataUltRecepcao(*ctx.tr);
            ctx.tr->rollback();
        } catch (const ErroBanco&) {
            ctx.tr->rollback();
        }
        if (TemPerfil(QStringLiteral("CUNE")) && Geral::ATIVARFTP() && AtrasoEncerraMunicipio(DataAtualDate(), ultima)) {
            r.encerrarPrograma = true;
            if (ctx.encerraPorAtraso)
                ctx.encerraPorAtraso(QStringLiteral("Você já está há 04 ou mais dias sem atualizar a base, o programa será "
                                                    "finalizado para que você providencie a solução do problema!"));
        } else {
            rc.aviso(QStringLiteral("Não foi possível conectar ao servidor! Verifique a conexão com a Internet para evitar "
                                    "o bloqueio do sistema!"));
        }
        return r;
    }
    const auto falha = [&](const QString& texto) {
        if (ctx.status)
            ctx.status(QStringLiteral("Falhou!"));
        rc.erro(QStringLiteral("Erro, verifique os dados digitados"), texto);
    };
    if (!rc.verificaVersao(falha))
        return r;
    rc.linha(QStringLiteral(" => Conectado, baixando arquivo..."));
    const QString local = PastaRecebidos() + QLatin1String(kArquivoBase);
    try {
        rc.baixa(kArquivoBase, local);
    } catch (const ErroFtp& e) {
        r.falhou = true;
        r.erro = e.texto();
        falha(r.erro);
        ctx.ftp->desconecta();
        return r;
    }
    ctx.ftp->desconecta();
    rc.linha(QStringLiteral(" => Arquivo baixado, atualizando bases cadastrais..."));
    if (!rc.valida([&] { ValidaBase(*ctx.tr, local, ConteudoBase::Municipio); }))
        return r;
    r.base = rc.importa(local, ConteudoBase::Municipio);
    if (!r.base.completo()) {
        r.falhou = true;
        if (r.erro.isEmpty())
            r.erro = r.base.erro.isEmpty() ? QStringLiteral("Recepção incompleta") : r.base.erro;
        rc.linha(QStringLiteral(" => Recepção incompleta: será repetida na próxima abertura."));
        return r;
    }
    try {
        rc.gravaData();
    } catch (const ErroBanco& e) {
        ctx.tr->rollback();
        r.falhou = true;
        r.erro = e.texto();
        rc.linha(QStringLiteral(" => Erro: ") + e.texto());
        return r;
    }
    rc.linha(ctx.semJanela ? QStringLiteral(" => Processamento concluído.")
                           : QStringLiteral(" => Processamento concluído, fechando a tela..."));
    return r;
}

namespace {

// Step 9 of the provider's reception: every new message of its professionals' folders. Every
// folder is listed first; then the authorizations go in, then the blocks, and the blocks that found
// no authorization are tried once more at the end. False when a folder could not be visited.
bool recebeAutorizacoes(Recepcao& rc, LogErros& erros)
{
    ResultadoRecepcaoBase& r = rc.r;
    FtpCliente& ftp = rc.ftp;
    const auto status = [&](const QString& t) { rc.linha(t); };
    QList<qint64> profissionais;
    try {
        profissionais = ProfissionaisDoPrestador(rc.tr, PapelInstalacao(), CodigoInstalacao());
        rc.tr.rollback();
        ftp.mudaPasta(QStringLiteral("marcacao"));
    } catch (const std::exception& e) {
        rc.tr.rollback();
        rc.linha(QStringLiteral(" => Verificando procedimentos marcados...(FALHOU!)"));
        r.erro = TextoErro(e);
        return false;
    }
    const QString marcacao = ftp.pastaAtual();
    bool ok = true;
    QList<ItemLote> autorizacoes, bloqueios;
    for (qint64 p : profissionais) {
        if (ftp.interrompido())
            return false;
        if (!EntraPastaProfissional(ftp, p, status)) {
            ok = false;
            r.erro = QStringLiteral("Pasta %1 inacessível").arg(PastaProfissional(p));
            continue;
        }
        rc.linha(QStringLiteral(" => Verificando procedimentos p/ Profiss. %1...").arg(p));
        const QString pasta = ftp.pastaAtual();
        QStringList nomes;
        try {
            nomes = ftp.listaNomes(QStringLiteral("M*.xml"));
        } catch (const ErroFtp& e) {
            rc.linha(QStringLiteral(" => Não foi possível listar a pasta %1: %2 (FALHOU!)").arg(pasta, e.texto()));
            r.erro = QStringLiteral("Listagem da pasta ") + pasta + QStringLiteral(": ") + e.texto();
            ok = false;
        }
        if (nomes.isEmpty() && ok)
            rc.linha(QStringLiteral(" => Nenhum arquivo a ser baixado para o profissional %1...").arg(p));
        for (const QString& nome : std::as_const(nomes))
            (EhMensagemBloqueio(nome) ? bloqueios : autorizacoes).append({pasta, nome});
        try {
            ftp.mudaPasta(marcacao);
        } catch (const ErroFtp& e) {
            r.erro = e.texto();
            return false;
        }
    }
    OpcoesLote op;
    op.marca = MarcaDoModo(ModoImportacao::EmLote);
    op.linha = status;
    op.antesDoArquivo = [&](const QString& nome) { rc.linha(QStringLiteral(" => Gravando arquivo ") + nome + QStringLiteral("...")); };
    op.agora = rc.c.agora;
    op.importado = [&](const QString&) {
        if (rc.c.status)
            rc.c.status(QStringLiteral("(ok)"));
    };
    const ImportaArquivo importa = ImportadorDeMensagem(ModoImportacao::EmLote, rc.c.agora);
    ResultadoLote lote = ImportaLote(rc.tr, ftp, autorizacoes + bloqueios, op, importa, erros);
    if (!lote.semEfeitoItens.isEmpty() && !lote.interrompido) {
        const QList<ItemLote> espera = lote.semEfeitoItens;
        lote.semEfeito -= int(espera.size());
        lote.semEfeitoItens.clear();
        lote.listados -= int(espera.size());
        lote.soma(ImportaLote(rc.tr, ftp, espera, op, importa, erros));
    }
    for (const ItemLote& b : std::as_const(lote.semEfeitoItens))
        rc.linha(QStringLiteral(" => Bloqueio %1 aguardando a sua autorização: fica no servidor para a próxima recepção.")
                     .arg(b.nome));
    r.lote = lote;
    r.importados = lote.importados;
    r.naoBaixados = lote.naoBaixados;
    r.falhados = lote.falhados;
    r.bloqueiosAguardando = lote.semEfeito;
    return ok && !lote.interrompido;
}

} // namespace

ResultadoRecepcaoBase RecebeBasePrestador(const ContextoBase& ctx, LogErros& erros)
{
    CriaPastasTroca();
    Recepcao rc(ctx);
    ResultadoRecepcaoBase& r = rc.r;
    if (!rc.conecta()) {
        rc.aviso(QStringLiteral("Não foi possível conectar ao servidor!"));
        return r;
    }
    const auto falha = [&](const QString&) {
        if (ctx.status)
            ctx.status(QStringLiteral("Falhou!"));
        rc.aviso(QStringLiteral("Não foi possível baixar o arquivo com a Base XML!"));
    };
    const QString base = PastaRecebidos() + QLatin1String(kArquivoBase);
    const QString glosas = PastaRecebidos() + QLatin1String(kArquivoGlosas);
    try {
        rc.linha(QStringLiteral(" => Conectado, Informando versão atual..."));
        const QString usuario = Geral::USUARIO().isEmpty() ? QStringLiteral("XXX") : Geral::USUARIO();
        const QString relatorio = CaminhoInstalacao(usuario);
        gravaArquivo(relatorio, RelatorioAcesso(SessaoAtual().UsuarioLogado, SessaoAtual().DataAtual, rc.agora()));
        ctx.ftp->envia(relatorio, usuario, true);
        if (!rc.verificaVersao(falha))
            return r;
        rc.linha(QStringLiteral(" => Conectado, baixando arquivo..."));
        rc.baixa(kArquivoBase, base);
        rc.linha(QStringLiteral(" => Conectado, baixando glosas..."));
        rc.baixa(kArquivoGlosas, glosas);
    } catch (const std::exception& e) {
        r.falhou = true;
        r.erro = TextoErro(e);
        falha(r.erro);
        return r;
    }
    rc.linha(QStringLiteral(" => Arquivo baixado, atualizando bases cadastrais..."));
    if (!rc.valida([&] {
            ValidaBase(*ctx.tr, base, ConteudoBase::Prestador);
            ValidaGlosas(glosas);
        }))
        return r;
    r.base = rc.importa(base, ConteudoBase::Prestador);
    if (!r.base.lido || !r.base.municipiosOk) {
        r.falhou = true;
        r.erro = r.base.erro.isEmpty() ? QStringLiteral("Atualização da Tabela Municipios falhou") : r.base.erro;
        rc.erro(QStringLiteral("Erro"), r.erro);
        return r;
    }
    rc.linha(QStringLiteral(" => Arquivo baixado, verificando glosas..."));
    try {
        r.glosas = AplicaGlosas(*ctx.tr, glosas);
        rc.linha(QStringLiteral(" => Atualização das glosas...(OK)"));
    } catch (const std::exception& e) {
        r.falhou = true;
        r.erro = TextoErro(e);
        rc.linha(QStringLiteral(" => Atualização das glosas...(FALHOU!)"));
        rc.erro(QStringLiteral("Erro"), r.erro);
        return r;
    }
    const bool pastasOk = recebeAutorizacoes(rc, erros);
    erros.grava();
    try {
        if (r.base.completo() && pastasOk)
            rc.gravaData();
        else
            rc.linha(QStringLiteral(" => Recepção incompleta: será repetida na próxima abertura."));
        if (TemPerfil(QStringLiteral("CUNE"))) {
            rc.linha(QStringLiteral(" => Verificando valor das consultas..."));
            ctx.tr->inicia();
            CorrigeValorConsultas(*ctx.tr, rc.agora());
            ctx.tr->commit();
        }
    } catch (const ErroBanco& e) {
        ctx.tr->rollback();
        r.falhou = true;
        r.erro = e.texto();
        rc.linha(QStringLiteral(" => Erro: ") + e.texto());
    }
    ctx.ftp->desconecta();
    if (r.pendencias() == 0)
        rc.linha(QStringLiteral(" => Inseridos %1 procedimentos (OK)").arg(r.importados));
    else
        rc.linha(QStringLiteral(" => Inseridos %1 procedimentos; ficaram para a próxima recepção: %2")
                     .arg(r.importados)
                     .arg(r.pendencias()));
    rc.linha(QStringLiteral(" => PROCESSO CONCLUIDO!"));
    r.terminou = true;
    if (!r.concluida)
        r.falhou = true;
    return r;
}

// ---------------------------------------------------------------- without a window

int EnviaBaseSemJanela(TDMCUNE& dm, QTextStream& saida)
{
    if (PapelInstalacao() != QLatin1Char('C')) {
        saida << QStringLiteral("A base cadastral é enviada pela instalação do consórcio.") << Qt::endl;
        return TarefaImpossivel;
    }
    FtpCliente& ftp = ClienteFtpCompartilhado();
    const ResultadoEnvioBase r =
        EnviaBaseCadastral(dm.IBTransaction, ftp, [&saida](const QString& l) { saida << l << Qt::endl; });
    ftp.desconecta();
    saida << QStringLiteral("%1: %2; %3: %4.")
                 .arg(QLatin1String(kArquivoBase), r.baseEnviada ? QStringLiteral("enviado") : QStringLiteral("não enviado"),
                      QLatin1String(kArquivoGlosas),
                      r.glosasEnviadas ? QStringLiteral("enviado") : QStringLiteral("não enviado"))
          << Qt::endl;
    return r.baseEnviada && r.glosasEnviadas ? TarefaCompleta : TarefaIncompleta;
}

QString ResumoRecepcaoBase(const ResultadoRecepcaoBase& r, bool prestador, const QString& erroTxt)
{
    QString t = QStringLiteral("Recepção da base %1").arg(r.concluida && r.pendencias() == 0 ? QStringLiteral("completa")
                                                                                           : QStringLiteral("incompleta"));
    if (prestador) {
        t += QStringLiteral(": mensagens recebidas %1; já recebidas antes %2; não baixadas %3; com erro %4; "
                            "marcas pendentes %5; bloqueios aguardando a autorização %6")
                 .arg(r.importados)
                 .arg(r.lote.jaRegistrados)
                 .arg(r.naoBaixados)
                 .arg(r.falhados)
                 .arg(r.lote.naoMarcados)
                 .arg(r.bloqueiosAguardando);
        if (r.falhados)
            t += QStringLiteral(" (veja ") + erroTxt + QLatin1Char(')');
    }
    return t + QLatin1Char('.');
}

int RecebeBaseSemJanela(TDMCUNE& dm, QTextStream& saida)
{
    const QChar papel = PapelInstalacao();
    if (papel != QLatin1Char('M') && papel != QLatin1Char('E') && papel != QLatin1Char('P')) {
        saida << QStringLiteral("A base cadastral é recebida pelas instalações de municípios e prestadores.") << Qt::endl;
        return TarefaImpossivel;
    }
    ContextoBase ctx;
    ctx.tr = &dm.IBTransaction;
    ctx.ftp = &ClienteFtpCompartilhado();
    ctx.status = [&saida](const QString& l) { saida << l << Qt::endl; };
    ctx.semJanela = true;
    ctx.aviso = [&saida](const QString& t) { saida << t << Qt::endl; };
    ctx.erro = [&saida](const QString&, const QString& t) { saida << t << Qt::endl; };
    ctx.encerraPorAtraso = [&saida](const QString& t) { saida << t << Qt::endl; };
    ctx.avisos.erroLinha = [&saida](const QString& sql, const QString& erro) {
        saida << QStringLiteral("Linha recusada: ") << sql << Qt::endl << erro << Qt::endl;
    };
    LogErros erros;
    const ResultadoRecepcaoBase r = papel == QLatin1Char('M') ? RecebeBaseMunicipio(ctx) : RecebeBasePrestador(ctx, erros);
    ctx.ftp->desconecta();
    const ResultadoBase& b = r.base;
    if (b.lido)
        saida << QStringLiteral("Linhas gravadas: %1; já atualizadas: %2; excluídas: %3; recusadas: %4%5.")
                     .arg(b.linhasGravadas)
                     .arg(b.linhasIguais)
                     .arg(b.excluidas)
                     .arg(b.linhasComErro)
                     .arg(b.ausentes.isEmpty() ? QString() : QStringLiteral("; ausentes do arquivo: ") + b.ausentes.join(QStringLiteral(", ")))
              << Qt::endl;
    if (!r.erro.isEmpty())
        saida << r.erro << Qt::endl;
    saida << ResumoRecepcaoBase(r, papel != QLatin1Char('M'), erros.caminho()) << Qt::endl;
    return r.concluida && r.pendencias() == 0 ? TarefaCompleta : TarefaIncompleta;
}

} // namespace vx
