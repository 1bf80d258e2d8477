#include "exchange/ImportacaoMensagens.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/Texto1252.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "exchange/LoteImportacao.h"
#include "exchange/MensagemXml.h"

#include <QSaveFile>

namespace vx {

LogErros::LogErros(const QString& caminho)
    : m_caminho(caminho.isEmpty() ? CaminhoInstalacao(QStringLiteral("Erro.TXT")) : caminho)
{
}

void LogErros::adiciona(const QString& sql, const QString& erro, const QString& prefixo, const QDateTime& agora)
{
    m_linhas << agora.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    m_linhas << QString(sql).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    m_linhas << prefixo + erro;
    m_linhas << QString(55, QLatin1Char('='));
}

bool LogErros::grava() const
{
    QSaveFile f(m_caminho);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray dados;
    for (const QString& l : m_linhas)
        dados += para1252(l) + "\r\n";
    f.write(dados);
    return f.commit();
}

QString CarimboImportacao(const QDateTime& agora)
{
    return SessaoAtual().DataAtual + QLatin1Char(' ') + agora.time().toString(QStringLiteral("zzz"));
}

namespace {

const QString kRaiz = QStringLiteral("mensagemVXO");

// The downloaded file as a message of the exchange (another root is refused like a broken file).
LeitorMensagem leMensagem(const QString& local)
{
    LeitorMensagem msg = LeitorMensagem::doArquivo(local);
    if (msg.raiz().nome != kRaiz)
        throw ErroMensagem(QStringLiteral("Arquivo XML recusado: elemento raiz %1 em vez de %2").arg(msg.raiz().nome, kRaiz));
    return msg;
}

// One statement built value by value, so that a value refused on the way is logged with the part
// already built.
class Comando {
public:
    explicit Comando(QString& sql, const QString& inicio) : m_sql(sql) { m_sql = inicio; }
    Comando& operator<<(const QString& literal)
    {
        if (m_valores++)
            m_sql += QStringLiteral(", ");
        m_sql += literal;
        return *this;
    }
    const QString& fim()
    {
        m_sql += QLatin1Char(')');
        return m_sql;
    }

private:
    QString& m_sql;
    int m_valores = 0;
};

QString texto(const ElementoXml* e, const char* nome, bool aparar = false, int maximo = -1)
{
    QString v = e ? e->valor(QLatin1String(nome)) : QString();
    if (aparar)
        v = v.trimmed();
    if (maximo >= 0)
        v = v.left(maximo);
    return SqlTexto(v);
}

QString codigo(const ElementoXml* e, const char* nome) { return SqlInteiro(e ? e->valor(QLatin1String(nome)) : QString()); }
QString data(const ElementoXml* e, const char* nome) { return SqlData(e ? e->valor(QLatin1String(nome)) : QString()); }

void importaBloqueio(Consulta& q, QString& sql, const LeitorMensagem& msg, const QString& origem, const QString& carimbo,
                     ModoImportacao modo, bool* semAutorizacao)
{
    const ElementoXml* m = msg.raiz().filho(QStringLiteral("marcacao"));
    const QString id = codigo(m, "id");
    sql = QStringLiteral("select first 1 1 from marcacao where cli_origem=") + SqlTexto(origem) +
          QStringLiteral(" and id_marcacao=") + id;
    q.abre(sql);
    const bool existe = !q.eof();
    q.fecha();
    if (existe) {
        // Every stored copy of the authorization is blocked.
        sql = QStringLiteral("update Marcacao set DataBloqueio=") + data(m, "databloqueio") + QStringLiteral(", Obs=") +
              texto(m, "obs") + QStringLiteral(" where cli_origem=") + SqlTexto(origem) +
              QStringLiteral(" and id_marcacao=") + id;
        q.executa(sql);
        return;
    }
    if (modo == ModoImportacao::PorChave) {
        // Not here: a row of its own, which the attendance lookup skips (no procedures).
        Comando c(sql, QStringLiteral("insert into Marcacao (cli_origem, id_marcacao, chaveimpre, databloqueio, obs, "
                                      "data_imp_adm) values("));
        c << SqlTexto(origem) << id << texto(m, "chave") << data(m, "databloqueio") << texto(m, "obs") << SqlTexto(carimbo);
        q.executa(c.fim());
        return;
    }
    *semAutorizacao = true;
}

void importaAutorizacao(Consulta& q, QString& sql, const LeitorMensagem& msg, const QString& origem,
                        const QString& carimbo, ModoImportacao modo)
{
    const bool lote = modo == ModoImportacao::EmLote;
    const ElementoXml* p = msg.raiz().filho(QStringLiteral("paciente"));
    {
        Comando c(sql, QStringLiteral("update or insert into Pessoas(Cli_origem, Codigo, Nome, CartaoSUS, DataNasc, "
                                      "Fones, Sexo, Raca, etnia, Responsavel, Nomemae, Obs, CodTipoLograd, Endereco, "
                                      "EndNum, Bairro, Cep) values("));
        c << SqlTexto(origem) << codigo(p, "codigo") << texto(p, "nome") << texto(p, "cartaosus") << data(p, "datanasc")
          << texto(p, "fones", lote) << texto(p, "sexo", lote, lote ? -1 : 1) << texto(p, "raca", lote, 2)
          << texto(p, "etnia", lote, 3) << texto(p, "responsavel", lote) << texto(p, "nomemae", lote)
          << texto(p, "obs", lote) << codigo(p, "codtipolograd") << texto(p, "endereco", lote) << codigo(p, "endnum")
          << texto(p, "bairro", lote) << texto(p, "cep", lote);
        q.executa(c.fim());
    }
    const ElementoXml* m = msg.raiz().filho(QStringLiteral("marcacao"));
    const QString id = codigo(m, "id");
    {
        Comando c(sql, QStringLiteral("insert into Marcacao(cli_origem, id_marcacao, codentidade, codprofissional, "
                                      "codpessoa, datalanc, datamarc, horamarc, codcid, chaveimpre, carater, obs, "
                                      "data_imp_adm) values("));
        c << SqlTexto(origem) << id << codigo(m, "codentidade") << codigo(m, "codprofissional") << codigo(m, "codpessoa")
          << data(m, "datalanc") << data(m, "datamarc") << texto(m, "horamarc") << texto(m, "codcid")
          << texto(m, "chaveimpre") << codigo(m, "carater") << texto(m, "obs") << SqlTexto(carimbo);
        q.executa(c.fim());
    }
    const ElementoXml* procs = m ? m->filho(QStringLiteral("procedimentos")) : nullptr;
    if (!procs)
        return;
    const QString inicio = lote ? QStringLiteral("insert into Marcacao_proceds(cli_origem, id_marcacao, codProcedimento, "
                                                 "quantidade, valortotal, data_imp_adm) values(")
                                : QStringLiteral("update or insert into Marcacao_proceds(cli_origem, id_marcacao, "
                                                 "codProcedimento, quantidade, valortotal, data_imp_adm) values(");
    // From the first det on, every following sibling is a procedure.
    bool achou = false;
    for (const ElementoXml& d : procs->filhos) {
        achou = achou || d.nome == QLatin1String("det");
        if (!achou)
            continue;
        Comando c(sql, inicio);
        c << SqlTexto(origem) << id << codigo(&d, "codigo") << SqlDecimal(d.valor(QStringLiteral("quant")))
          << SqlDecimal(d.valor(QStringLiteral("valortotal"))) << SqlTexto(carimbo);
        q.executa(c.fim());
    }
}

} // namespace

ImportaArquivo ImportadorDeMensagem(ModoImportacao modo, const QDateTime& agora)
{
    return [modo, agora](Consulta& q, const ArquivoRecebido& a, QString& sql) {
        const LeitorMensagem msg = leMensagem(a.local);
        const QString origem = msg.valor(QStringLiteral("cabecalho/respEnvio"));
        if (origem.trimmed().isEmpty())
            throw ErroMensagem(QStringLiteral("Arquivo XML recusado: sem cabecalho/respEnvio"));
        const QString carimbo = CarimboImportacao(agora.isValid() ? agora : QDateTime::currentDateTime());
        bool semAutorizacao = false;
        if (EhMensagemBloqueio(a.nome))
            importaBloqueio(q, sql, msg, origem, carimbo, modo, &semAutorizacao);
        else
            importaAutorizacao(q, sql, msg, origem, carimbo, modo);
        return semAutorizacao ? Desfecho::SemEfeito : Desfecho::Importado;
    };
}

QString MarcaDoModo(ModoImportacao modo)
{
    return modo == ModoImportacao::PorChave ? QStringLiteral("okch ") : QStringLiteral("ok ");
}

bool EhMensagemBloqueio(const QString& nome)
{
    return nome.contains(QLatin1String("-bloq"));
}

SituacaoImportacao ImportaMensagem(Transacao& tr, FtpCliente& ftp, const QString& local, const QString& remoto,
                                   ModoImportacao modo, LogErros& erros, QString* motivo, const QDateTime& agora)
{
    OpcoesLote op;
    op.marca = MarcaDoModo(modo);
    const ResultadoLote r =
        ImportaArquivoBaixado(tr, ftp, local, remoto, op, ImportadorDeMensagem(modo, agora), erros, motivo);
    if (r.importados || r.jaRegistrados)
        return SituacaoImportacao::Importado;
    return r.semEfeito ? SituacaoImportacao::SemAutorizacao : SituacaoImportacao::Falhou;
}

namespace {

// "MM/dd/yyyy hh:mm" literal of a date at the time of `agora`.
QString dataHora(const QDate& d, const QDateTime& agora)
{
    return SqlData(TextoData(d) + QLatin1Char(' ') + agora.time().toString(QStringLiteral("hh:mm")));
}

void importaRealizacao(Consulta& q, QString& sql, const LeitorMensagem& msg, const QString& origem,
                       const QString& carimbo, const OpcoesRealizacao& op, const QDate& digitacao,
                       const QDateTime& agora, LogErros& erros)
{
    const bool auditoria = op.modo == ModoRealizacao::Auditoria;
    const bool renumera = op.modo == ModoRealizacao::Renumeracao;
    const QString arquivo = QString::number(op.posicao);
    const ElementoXml* p = msg.raiz().filho(QStringLiteral("paciente"));
    const ElementoXml* m = msg.raiz().filho(QStringLiteral("marcacao"));
    {
        Comando c(sql, auditoria ? QStringLiteral("insert into PessoasTeste(Cli_origem, Codigo, Nome, CartaoSUS, DataNasc, "
                                                  "Fones, Sexo, Raca, Etnia, Responsavel, Nomemae, Obs, codtipolograd, "
                                                  "endereco, endnum, bairro, cep, id_arquivo) values(")
                                 : QStringLiteral("update or insert into Pessoas(Cli_origem, Codigo, Nome, CartaoSUS, "
                                                  "DataNasc, Fones, Sexo, Raca, Etnia, Responsavel, Nomemae, Obs, "
                                                  "codtipolograd, endereco, endnum, bairro, cep) values("));
        c << SqlTexto(origem) << (renumera ? SqlInteiro(*op.contador) : codigo(p, "codigo")) << texto(p, "nome")
          << texto(p, "cartaosus") << data(p, "datanasc") << texto(p, "fones") << texto(p, "sexo")
          << texto(p, "raca", false, 2) << texto(p, "etnia", false, 3) << texto(p, "responsavel")
          << texto(p, "nomemae") << texto(p, "obs") << codigo(p, "codtipolograd") << texto(p, "endereco")
          << codigo(p, "endnum") << texto(p, "bairro") << texto(p, "cep");
        if (auditoria)
            c << SqlTexto(arquivo);
        q.executa(c.fim());
    }
    const QString id = codigo(m, "id");
    if (renumera) {
        sql = QStringLiteral("update marcacao set codpessoa=%1 where cli_origem=%2 and id_marcacao=%3 and codentidade=%4")
                  .arg(SqlInteiro(*op.contador), SqlTexto(origem), id, codigo(m, "codentidade"));
        q.executa(sql);
        return;
    }
    // Typed on a date, or (none given) on the working date at 00:03:03.
    const QString dataDigitacao = digitacao.isValid() ? SqlData(digitacao)
                                                      : SqlData(SessaoAtual().DataAtual + QStringLiteral(" 00:03:03"));
    const QDate diaDigitacao = digitacao.isValid() ? digitacao : DataAtualDate();
    const QString dataImportacao = dataHora(op.dataBase.isValid() ? op.dataBase : diaDigitacao, agora);
    {
        Comando c(sql, auditoria ? QStringLiteral("insert into MarcacaoTeste(cli_origem, id_marcacao, codentidade, "
                                                  "codprofissional, codpessoa, datalanc, datamarc, horamarc, "
                                                  "datarealizacao, data_digitacao, data_importacao, codcid, chaveimpre, "
                                                  "carater, obs, Data_Imp_Adm, id_arquivo) values(")
                                 : QStringLiteral("insert into Marcacao(cli_origem, id_marcacao, codentidade, "
                                                  "codprofissional, codpessoa, datalanc, datamarc, horamarc, "
                                                  "datarealizacao, data_digitacao, data_importacao, codcid, chaveimpre, "
                                                  "carater, obs, Data_Imp_Adm) values("));
        c << SqlTexto(origem) << id << codigo(m, "codentidade") << codigo(m, "codprofissional") << codigo(m, "codpessoa")
          << data(m, "datalanc") << data(m, "datamarc") << texto(m, "horamarc") << data(m, "datarealizacao")
          << dataDigitacao << dataImportacao << texto(m, "codcid") << texto(m, "chaveimpre") << codigo(m, "carater")
          << texto(m, "obs") << SqlTexto(carimbo);
        if (auditoria)
            c << SqlTexto(arquivo);
        try {
            q.executa(c.fim());
        } catch (const ErroBanco& e) {
            // Logged with its own prefix; without its authorization the whole file fails.
            erros.adiciona(sql, e.texto(), QStringLiteral("Erro: "), QDateTime::currentDateTime());
            throw ErroJaRegistrado(e.texto());
        }
    }
    if (auditoria)
        return;
    const ElementoXml* procs = m ? m->filho(QStringLiteral("procedimentos")) : nullptr;
    if (!procs)
        return;
    bool achou = false;
    for (const ElementoXml& d : procs->filhos) {
        achou = achou || d.nome == QLatin1String("det");
        if (!achou)
            continue;
        Comando c(sql, QStringLiteral("insert into Marcacao_proceds(cli_origem, id_marcacao, codProcedimento, quantidade, "
                                      "valortotal, Realizado, Data_Imp_Adm) values("));
        const QString valor = d.valor(QStringLiteral("valortotal"));
        // An empty total stays null: the end of the run prices it.
        c << SqlTexto(origem) << id << codigo(&d, "codigo") << SqlDecimal(d.valor(QStringLiteral("quant")))
          << (valor.trimmed().isEmpty() ? QStringLiteral("null") : SqlDecimal(valor)) << QStringLiteral("'S'")
          << SqlTexto(carimbo);
        q.executa(c.fim());
    }
}

} // namespace

QString MarcaDaRealizacao(ModoRealizacao modo)
{
    switch (modo) {
    case ModoRealizacao::Normal:
        return QStringLiteral("okcune ");
    case ModoRealizacao::Renumeracao:
        return QStringLiteral("2ren ");
    case ModoRealizacao::Auditoria:
        break;
    }
    return {};
}

ImportaArquivo ImportadorDeRealizacao(const OpcoesRealizacao& opcoes, LogErros& erros, const QDateTime& agoraFixo)
{
    return [opcoes, &erros, agoraFixo](Consulta& q, const ArquivoRecebido& a, QString& sql) {
        const QDateTime agora = agoraFixo.isValid() ? agoraFixo : QDateTime::currentDateTime();
        const LeitorMensagem msg = leMensagem(a.local);
        const bool bloqueio = EhMensagemBloqueio(a.nome);
        QDate digitacao;
        const QString textoDigitacao = msg.valor(QStringLiteral("marcacao/datadigitacao")).trimmed();
        if (!bloqueio && !textoDigitacao.isEmpty()) {
            digitacao = LeData(textoDigitacao);
            if (!digitacao.isValid())
                throw ErroValor(QStringLiteral("Data de digitação inválida: ") + textoDigitacao);
        }
        if (!bloqueio && opcoes.inicioCalendario.isValid()) {
            if (!digitacao.isValid())
                throw ErroValor(QStringLiteral("Data de digitação inválida: ") + textoDigitacao);
            if (digitacao < opcoes.inicioCalendario)
                return Desfecho::ForaDoPeriodo;
        }
        QString origem = msg.valor(QStringLiteral("cabecalho/respEnvio"));
        if (!bloqueio && origem.trimmed().isEmpty())
            throw ErroMensagem(QStringLiteral("Arquivo XML recusado: sem cabecalho/respEnvio"));
        // A provider sent it (its identity as configured, in either case): the patient's municipality.
        const QChar papel = origem.isEmpty() ? QChar() : origem.at(0).toUpper();
        if (papel == QLatin1Char('E') || papel == QLatin1Char('F') || papel == QLatin1Char('P'))
            origem = msg.valor(QStringLiteral("cabecalho/codMun"));
        if (!bloqueio) {
            if (opcoes.modo == ModoRealizacao::Renumeracao)
                ++*opcoes.contador;
            importaRealizacao(q, sql, msg, origem, CarimboImportacao(agora), opcoes, digitacao, agora, erros);
        }
        return Desfecho::Importado;
    };
}

SituacaoRealizacao ImportaRealizacao(Transacao& tr, FtpCliente& ftp, const QString& local, const QString& remoto,
                                     const OpcoesRealizacao& opcoes, LogErros& erros, QString* motivo,
                                     const QDateTime& agora)
{
    OpcoesLote op;
    op.marca = MarcaDaRealizacao(opcoes.modo);
    const ResultadoLote r = ImportaArquivoBaixado(tr, ftp, local, remoto, op,
                                                  ImportadorDeRealizacao(opcoes, erros, agora), erros, motivo);
    if (r.foraDoPeriodo)
        return SituacaoRealizacao::ForaDoPeriodo;
    return r.importados || r.jaRegistrados ? SituacaoRealizacao::Importado : SituacaoRealizacao::Falhou;
}

} // namespace vx
