#include "exchange/Atendimentos.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "exchange/ImportacaoMensagens.h"
#include "exchange/LoteImportacao.h"
#include "exchange/ftp/FtpCliente.h"
#include "municipality/Marcacao.h"
#include "municipality/MensagemAutorizacao.h"

namespace vx {

namespace {

const QString kSep = QStringLiteral("=//=");

} // namespace

QString PastaProfissional(qint64 profissional)
{
    return QStringLiteral("profiss") + QString::number(profissional).rightJustified(5, QLatin1Char('0'));
}

bool EntraPastaProfissional(FtpCliente& ftp, qint64 profissional, const LinhaStatus& linha)
{
    const QString pasta = PastaProfissional(profissional);
    try {
        ftp.mudaPasta(pasta);
        return true;
    } catch (const ErroFtp& e) {
        if (!e.texto().toUpper().contains(QLatin1String("DIRECTORY")) || ftp.interrompido()) {
            linha(QStringLiteral(" => Verificando procedimentos marcados...(FALHOU!) ") + e.texto());
            return false;
        }
    }
    // A folder used for the first time.
    try {
        ftp.criaPasta(pasta);
        ftp.mudaPasta(pasta);
        linha(QStringLiteral(" => Pasta %1 criada no servidor.").arg(pasta));
        return true;
    } catch (const ErroFtp& e) {
        linha(QStringLiteral(" => Não foi possível criar a pasta %1: %2 (FALHOU!)").arg(pasta, e.texto()));
        return false;
    }
}

QString PrefixoArquivoChave(const QString& chave)
{
    if (chave.size() == 14)
        return QStringLiteral("M43") + chave.left(5) + QStringLiteral("_ID0") + chave.mid(5, 6);
    return QStringLiteral("M43") + chave.left(5) + QStringLiteral("_ID00") + chave.mid(5, 5);
}

QString SqlAtendimentoPorChave(const QString& chave)
{
    return QStringLiteral("SELECT M.CLI_ORIGEM, M.ID_MARCACAO, M.DATA_IMP_ADM, M.CODENTIDADE, M.CODPROFISSIONAL, P.NOME, "
                          "PR.NOME AS NOMEPROF, M.DATALANC, M.DATAMARC, M.HORAMARC, M.OBS, M.DATAREALIZACAO, "
                          "M.DATABLOQUEIO FROM MARCACAO M "
                          "LEFT OUTER JOIN PESSOAS P ON M.CLI_ORIGEM=P.CLI_ORIGEM AND M.CODPESSOA=P.CODIGO "
                          "LEFT OUTER JOIN PROFISSIONAIS PR ON M.CODPROFISSIONAL=PR.CODIGO "
                          "WHERE M.CHAVEIMPRE=%1 AND EXISTS(SELECT MP.* FROM MARCACAO_PROCEDS MP WHERE "
                          "M.CLI_ORIGEM=MP.CLI_ORIGEM AND M.ID_MARCACAO=MP.ID_MARCACAO AND M.DATA_IMP_ADM=MP.DATA_IMP_ADM) ")
        .arg(SqlTexto(chave)) + OrdemCopiasAutorizacao(QStringLiteral("M"));
}

QString OrdemCopiasAutorizacao(const QString& m)
{
    // The stamp is "dd/mm/yyyy zzz": its day first, then its milliseconds within the day.
    return QStringLiteral("ORDER BY CASE WHEN %1.DATAREALIZACAO IS NOT NULL THEN 0 WHEN %1.DATABLOQUEIO IS NOT NULL "
                          "THEN 1 ELSE 2 END, SUBSTRING(%1.DATA_IMP_ADM FROM 7 FOR 4) DESC, "
                          "SUBSTRING(%1.DATA_IMP_ADM FROM 4 FOR 2) DESC, SUBSTRING(%1.DATA_IMP_ADM FROM 1 FOR 2) DESC, "
                          "%1.DATA_IMP_ADM DESC")
        .arg(m);
}

QString SqlProcedimentosAtendimento()
{
    return QStringLiteral("SELECT MP.QUANTIDADE, MP.CODPROCEDIMENTO AS Codigo, P.NOME, P.VALOR, MP.REALIZADO "
                          "FROM MARCACAO_PROCEDS MP LEFT OUTER JOIN PROCEDIMENTOS P ON MP.CODPROCEDIMENTO=P.CODIGO "
                          "WHERE MP.CLI_ORIGEM=? AND MP.ID_MARCACAO=? AND MP.DATA_IMP_ADM=?");
}

QString TextoLinhaProcedimento(qint64 quantidade, const QString& nome, const Decimal& valor)
{
    return QString::number(quantidade).rightJustified(2, QLatin1Char('0')) + QStringLiteral(" x ") + nome +
           QStringLiteral(" (") + FormataValor(valor, QStringLiteral("#,##0.00")) + QLatin1Char(')');
}

QList<qint64> ProfissionaisDaBusca(Transacao& tr, const BuscaChave& b)
{
    QString sql;
    const bool digitado = !b.profissionalDigitado.trimmed().isEmpty();
    if (b.papel == QLatin1Char('E')) {
        sql = QStringLiteral("select CodProfissional from EntidadesProfiss where CodEntidade=") + SqlInteiro(b.codigoProprio);
        if (digitado)
            sql += QStringLiteral(" and codprofissional=") + SqlInteiro(b.profissionalDigitado);
        sql += QStringLiteral(" order by CodProfissional");
    } else if (b.papel == QLatin1Char('P')) {
        return {b.codigoProprio.trimmed().toLongLong()};
    } else if (b.papel == QLatin1Char('C') && SessaoAtual().UsuarioInstalacao.contains(QLatin1String("CORVANE")) &&
               digitado) {
        sql = QStringLiteral("select CodProfissional from EntidadesProfiss where codprofissional=") +
              SqlInteiro(b.profissionalDigitado);
    } else {
        return {0};
    }
    QList<qint64> r;
    for (const LinhaCadastro& l : LeLinhas(tr, sql))
        r << l[QStringLiteral("CODPROFISSIONAL")].inteiro();
    if (b.papel == QLatin1Char('E'))
        r << 0;
    return r;
}

ResultadoBusca BuscaChaveNoServidor(FtpCliente& ftp, Transacao& tr, const BuscaChave& b, LogErros& erros,
                                    const LinhaStatus& status)
{
    const auto linha = [&](const QString& t) {
        if (status)
            status(LinhaComHora(t));
    };
    ResultadoBusca r;
    const QString prefixo = PrefixoArquivoChave(b.chave);
    linha(QStringLiteral(" => Conectando ao servidor ftp..."));
    bool ok = false;
    try {
        ok = ConectaFtp(ftp);
    } catch (const std::exception&) {
    }
    if (!ok) {
        linha(QStringLiteral(" => Falhou!"));
        return r;
    }
    r.conectou = true;
    QList<qint64> profissionais = ProfissionaisDaBusca(tr, b);
    // A block of an authorization without professional is in profiss00000.
    if (!profissionais.contains(0))
        profissionais << 0;
    try {
        ftp.mudaPasta(QStringLiteral("marcacao"));
    } catch (const ErroFtp&) {
        linha(QStringLiteral(" => Verificando procedimentos marcados...(FALHOU!)"));
        return r;
    }
    const QString marcacao = ftp.pastaAtual();
    // Every folder first: the authorizations are imported before the blocks, wherever they are.
    QList<ItemLote> autorizacoes, bloqueios;
    for (qint64 p : std::as_const(profissionais)) {
        if (ftp.interrompido())
            break;
        if (!EntraPastaProfissional(ftp, p, linha))
            continue;
        linha(QStringLiteral(" => Verificando procedimentos p/ Profiss. %1...").arg(p));
        const QString pasta = ftp.pastaAtual();
        try {
            const QStringList nomes = ftp.listaNomes(QLatin1Char('*') + prefixo + QStringLiteral("*.xml"));
            if (nomes.isEmpty())
                linha(QStringLiteral(" => Arquivo não encontrado para o profissional %1...").arg(p));
            for (const QString& nome : nomes)
                (EhMensagemBloqueio(nome) ? bloqueios : autorizacoes).append({pasta, nome});
        } catch (const ErroFtp& e) {
            linha(QStringLiteral(" => Não foi possível listar a pasta %1: %2 (FALHOU!)").arg(pasta, e.texto()));
        }
        try {
            ftp.mudaPasta(marcacao);
        } catch (const ErroFtp&) {
            break;
        }
    }
    OpcoesLote op;
    op.marca = MarcaDoModo(ModoImportacao::PorChave);
    op.linha = linha;
    op.baixaEmParalelo = false;
    const ResultadoLote lote =
        ImportaLote(tr, ftp, autorizacoes + bloqueios, op, ImportadorDeMensagem(ModoImportacao::PorChave), erros);
    r.importados = lote.importados + lote.jaRegistrados;
    linha(QStringLiteral(" => Inseridos %1 procedimentos%2").arg(r.importados)
              .arg(lote.falhados || lote.naoBaixados ? QStringLiteral(" (com falhas)") : QStringLiteral(" (OK)")));
    return r;
}

bool AnoRealizacaoValido(const QDate& realizacao, const QDate& dataAtual)
{
    return realizacao.isValid() && realizacao.year() >= 2014 && realizacao.year() <= dataAtual.year();
}

bool ConfirmaRealizacao(Transacao& tr, const Confirmacao& c)
{
    if (c.procedimentos.isEmpty())
        return false;
    const QString onde = QStringLiteral(" where cli_origem=%1 and id_marcacao=%2 and codprocedimento=")
                             .arg(SqlTexto(c.cliOrigem), SqlInteiro(c.idMarcacao));
    const QString digitacao = SessaoAtual().DataAtual + c.agora.toString(QStringLiteral(" hh:mm"));
    EmTransacao(tr, [&](Consulta& q) {
        for (qint64 proc : c.procedimentos) {
            q.abre(QStringLiteral("select valor, valorsus from procedimentos where codigo=") + SqlInteiro(proc));
            const Decimal valor = q.eof() ? Decimal() : q.campo("VALOR").decimal();
            const Decimal valorSus = q.eof() ? Decimal() : q.campo("VALORSUS").decimal();
            q.fecha();
            q.executa(QStringLiteral("update marcacao_proceds set realizado='S', valortotalsus=quantidade*") +
                      SqlDecimal(valorSus) + onde + SqlInteiro(proc));
            q.executa(QStringLiteral("update marcacao_proceds set valortotal=quantidade*") + SqlDecimal(valor) + onde +
                      SqlInteiro(proc) + QStringLiteral(" and (valortotal=0 or valortotal is null)"));
        }
        QString sql = QStringLiteral("UPDATE MARCACAO SET DATAREALIZACAO=") + SqlData(c.realizacao) +
                      QStringLiteral(", DATA_DIGITACAO=") + SqlData(digitacao) + QStringLiteral(", ");
        if (c.semProfissional)
            sql += QStringLiteral("CODPROFISSIONAL=") + SqlInteiro(c.profissional) + QStringLiteral(", ");
        sql += QStringLiteral("DATA_IMPORTACAO=") + SqlData(digitacao) + QStringLiteral(" WHERE CHAVEIMPRE=") +
               SqlTexto(c.chave);
        q.executa(sql);
        return RegistroLog{QStringLiteral("Atendimento"), QStringLiteral("I"),
                           c.chave + kSep + NormalizaData(c.realizacao) + kSep + SessaoAtual().DataAtual};
    });
    return true;
}

void AlteraDataRealizacao(Transacao& tr, const QString& chave, const QString& antiga, const QDate& nova)
{
    if (!nova.isValid())
        throw ErroValor(QStringLiteral("Data inválida"));
    EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("UPDATE MARCACAO SET DATAREALIZACAO=") + SqlData(nova) +
                  QStringLiteral(" WHERE CHAVEIMPRE=") + SqlTexto(chave));
        return RegistroLog{QStringLiteral("Atendimento"), QStringLiteral("U"),
                           chave + kSep + antiga + QStringLiteral("=>") + NormalizaData(nova)};
    });
}

void EnviaRealizacao(Transacao& tr, FtpCliente* ftp, const QString& chave, const QString& nomeResp,
                     const LinhaStatus& status, const QDateTime& agora)
{
    const auto linha = [&](const QString& t) {
        if (status)
            status(LinhaComHora(t));
    };
    linha(QStringLiteral(" => Gerando arquivo XML..."));
    MensagemRealizacao m;
    try {
        m = Lendo(tr, [&] {
            tr.garanteAtiva();
            return GravaMensagemRealizacao(tr, chave, nomeResp, agora);
        });
    } catch (const std::exception&) {
        linha(QStringLiteral(" => Não foi possível CRIAR o arquivo ") + (m.arquivo.isEmpty() ? chave : m.arquivo));
        return;
    }
    const QString destino = QStringLiteral("F") + DataAtualDate().toString(QStringLiteral("yyyy_MM"));
    switch (EnviaAoDestino(ftp, m.arquivo, destino, status)) {
    case ResultadoEnvio::Enviado:
        linha(QStringLiteral(" => Arquivo Enviado. Processo Concluído!"));
        break;
    case ResultadoEnvio::Falhou:
        linha(LinhaEnvioPendente(QStringLiteral("A realização está gravada"), m.arquivo));
        break;
    case ResultadoEnvio::NaoEnviado:
        break;
    }
}

} // namespace vx
