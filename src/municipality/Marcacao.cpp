#include "municipality/Marcacao.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/RegistraLog.h"
#include "core/UFunc.h"
#include "exchange/ftp/FtpCliente.h"
#include "municipality/MensagemAutorizacao.h"

#include <QDir>
#include <QFile>
#include <QThread>

namespace vx {

namespace {

const QString kSep = QStringLiteral("=//=");

// How often a number taken by another workstation is tried again, and the pause between tries.
constexpr int kTentativasNumero = 40;
constexpr int kPausaNumeroMs = 50;

QString sqlMunicipio(const QString& municipio) { return SqlTexto(municipio); }

QString onde(const QString& municipio, qint64 numero)
{
    return QStringLiteral(" where Cli_Origem=%1 and Id_Marcacao=%2 and Data_Imp_Adm='M'")
        .arg(sqlMunicipio(municipio))
        .arg(numero);
}

QString descricao(const Autorizacao& a, qint64 numero, const QString& chave)
{
    return a.municipio + kSep + QString::number(numero) + kSep + a.paciente + kSep + a.dataLanc + kSep + a.dataMarc +
           kSep + chave;
}

QString dataMarcSql(const QString& t)
{
    return t.trimmed().isEmpty() || t.startsWith(QLatin1String("  /")) ? QStringLiteral("null") : SqlData(t);
}

void insereAutorizacao(Consulta& q, const Autorizacao& a, qint64 numero, const QString& chave, const QDateTime& agora)
{
    const QString carimbo = SqlData(a.dataAtual + QLatin1Char(' ') + agora.toString(QStringLiteral("hh:mm")));
    q.executa(QStringLiteral("insert into Marcacao(Cli_origem, Id_Marcacao, Data_IMP_ADM, CodPessoa, CodEntidade, "
                             "CodProfissional, DataLanc, Data_Digitacao, Data_Importacao, DataMarc, HoraMarc, Carater, "
                             "CodCID, ChaveImpre, Obs, CodUnidade, Usuario, Finalizada) values(") +
              QStringList{sqlMunicipio(a.municipio), QString::number(numero), QStringLiteral("'M'"),
                          SqlInteiro(a.paciente), SqlInteiro(a.entidade), SqlInteiro(a.profissional),
                          SqlData(a.dataLanc), carimbo, carimbo, dataMarcSql(a.dataMarc), SqlTexto(a.horaMarc),
                          SqlInteiro(a.carater), SqlTexto(a.cid), SqlTexto(chave), SqlTexto(a.obs),
                          SqlInteiro(a.unidade), SqlTexto(a.usuario), QStringLiteral("'N'")}
                  .join(QStringLiteral(", ")) +
              QLatin1Char(')'));
    RegistraLog(q, QStringLiteral("Marcacao"), QStringLiteral("I"), descricao(a, numero, chave));
}

bool numeroTomado(const ErroBanco& e) { return e.conflitoBloqueio() || e.chaveDuplicada(); }

} // namespace

QString ChaveAutorizacao(const QString& municipio, qint64 numero, const QTime& hora)
{
    const QString m = municipio.trimmed().rightJustified(7, QLatin1Char('0'));
    return m.mid(2, 5) + ZerosEsquerda(numero, numero < 100000 ? 5 : 6) +
           hora.toString(QStringLiteral("hh:mm:ss:zzz")).right(3);
}

qint64 ProximoNumeroAutorizacao(Consulta& q, const QString& municipio)
{
    // The highest number below the consortium's range, walked backwards on IX_MARCACAO_ORIGEM_ID_D.
    q.abre(QStringLiteral("select first 1 id_marcacao as id from marcacao where cli_origem=%1\nand id_marcacao < %2 "
                          "order by cli_origem desc, id_marcacao desc")
               .arg(sqlMunicipio(municipio))
               .arg(kPrimeiroNumeroConsorcio));
    const qint64 n = q.eof() ? 1 : q.campo(QStringLiteral("ID")).inteiro() + 1;
    q.fecha();
    return n;
}

QString SqlProcedimentosMarcacao(const QString& municipio, qint64 numero, const QString& carimbo)
{
    return QStringLiteral("select M.CodProcedimento, M.Quantidade, M.ValorTotal, P.Nome, P.RequerAPAC, P.Valor, "
                          "P.ValorSUS, P.QuantMax, P.Registro from Marcacao_Proceds M\n"
                          "left outer join Procedimentos P on M.CodProcedimento=P.codigo\n"
                          "where M.Cli_Origem=%1 and M.Id_Marcacao=%2 and M.Data_Imp_Adm=%3")
        .arg(sqlMunicipio(municipio))
        .arg(numero)
        .arg(SqlTexto(carimbo));
}

QVector<ProcedimentoMarcacao> LeProcedimentosMarcacao(Transacao& tr, const QString& municipio, qint64 numero,
                                                      const QString& carimbo)
{
    QVector<ProcedimentoMarcacao> r;
    if (numero <= 0)
        return r;
    for (const LinhaCadastro& l : LeLinhas(tr, SqlProcedimentosMarcacao(municipio, numero, carimbo))) {
        ProcedimentoMarcacao p;
        p.codigo = l[QStringLiteral("CODPROCEDIMENTO")].inteiro();
        p.quantidade = l[QStringLiteral("QUANTIDADE")].inteiro();
        p.valorTotal = l[QStringLiteral("VALORTOTAL")].decimal();
        p.nome = l.texto(QStringLiteral("NOME"));
        p.requerApac = l.texto(QStringLiteral("REQUERAPAC")).trimmed();
        p.registro = l.texto(QStringLiteral("REGISTRO")).trimmed();
        p.quantMax = l[QStringLiteral("QUANTMAX")].inteiro();
        r.append(p);
    }
    return r;
}

Decimal TotalMarcacao(const QVector<ProcedimentoMarcacao>& lista)
{
    Decimal t = Decimal::cents(0);
    for (const ProcedimentoMarcacao& p : lista)
        t = t + p.valorTotal;
    return t;
}

QString SqlVinculoProcedimento(const QString& procedimento, const QString& entidade, const QString& profissional,
                               bool exigeProfissional)
{
    QString s = QStringLiteral("select pp.* from profissproced pp where PP.DATAEXCLUSAO IS NULL AND "
                               "pp.codprocedimento=%1 and pp.codentidade=%2")
                    .arg(SqlInteiro(procedimento), SqlInteiro(entidade));
    if (!CodigoVazio(profissional) || exigeProfissional)
        s += QStringLiteral(" and pp.codprofissional=") + SqlInteiro(profissional);
    return s;
}

bool VinculosDaInsercao(Consulta& q, const QString& procedimento, const QString& entidade, const QString& profissional,
                        bool exigeProfissional)
{
    auto existe = [&q](const QString& sql) {
        q.abre(sql);
        const bool r = !q.eof();
        q.fecha();
        return r;
    };
    if (!existe(SqlVinculoProcedimento(procedimento, entidade, profissional, exigeProfissional)))
        return false;
    if (!CodigoVazio(profissional) || exigeProfissional) {
        if (!existe(QStringLiteral("select ep.* from entidadesprofiss ep where ep.DATAEXCLUSAO IS NULL and "
                                   "ep.codentidade=%1 and ep.codprofissional=%2")
                        .arg(SqlInteiro(entidade), SqlInteiro(profissional))))
            return false;
        if (!existe(QStringLiteral("select p.* from profissionais p where p.DATAEXCLUSAO IS NULL and p.codigo=%1")
                        .arg(SqlInteiro(profissional))))
            return false;
    }
    return existe(QStringLiteral("select e.* from entidades e where e.DATAEXCLUSAO IS NULL and e.codigo=%1")
                      .arg(SqlInteiro(entidade)));
}

qint64 QuantidadeProcedimento(const QString& digitado, bool campoVisivel)
{
    if (!campoVisivel)
        return 1;
    bool ok = false;
    const qint64 q = digitado.trimmed().toLongLong(&ok);
    return ok && q > 0 ? q : 1;
}

QString RecusaQuantidade(qint64 quantidade, qint64 quantMax, const Decimal& valor, const Decimal& valorSus)
{
    if (quantMax >= 2 && quantidade > quantMax)
        return QStringLiteral("A quantidade máxima deste procedimento é %1!").arg(quantMax);
    const Decimal q = Decimal::fromInt(quantidade);
    for (const Decimal& v : {valor, valorSus}) {
        const Decimal t = q * v;
        if (t > kMaximoNumeric10_2 || t < -kMaximoNumeric10_2)
            return QStringLiteral("Valor da autorização acima do permitido para esta quantidade!");
    }
    return {};
}

QString ProdutoSql(qint64 quantidade, const Decimal& preco)
{
    const double v = double(quantidade) * preco.toDouble();
    return QString::number(v, 'g', 15);
}

void RepeteSeNumeroTomado(const std::function<void(bool& criando)>& tentativa)
{
    for (int n = 1;; ++n) {
        bool criando = false;
        try {
            tentativa(criando);
            return;
        } catch (const ErroBanco& e) {
            if (!(criando && numeroTomado(e)))
                throw;
            if (n >= kTentativasNumero)
                throw ErroBanco(QStringLiteral("Outra estação está gravando autorizações deste município neste momento.\n"
                                               "Tente inserir o procedimento novamente."),
                                e.codigos());
            QThread::msleep(kPausaNumeroMs);
        }
    }
}

void InsereLinhaProcedimento(Consulta& q, const QString& municipio, qint64 numero, const QString& carimbo,
                             qint64 procedimento, qint64 quantidade, bool realizado)
{
    q.abre(QStringLiteral("select valor, valorsus from procedimentos where codigo=%1").arg(procedimento));
    if (q.eof()) {
        q.fecha();
        throw ErroValor(QStringLiteral("Código de Procedimento não Cadastrado!"));
    }
    const Decimal valor = q.campo(QStringLiteral("VALOR")).decimal();
    const Decimal valorSus = q.campo(QStringLiteral("VALORSUS")).decimal();
    q.fecha();
    q.executa(QStringLiteral("insert into Marcacao_Proceds(Cli_origem, Id_Marcacao, Data_imp_ADM, CodProcedimento, "
                             "%1Quantidade, ValorTotal, ValorTotalSUS) values(%2, %3, %4, %5, %6%7, %8, %9)")
                  .arg(realizado ? QStringLiteral("Realizado, ") : QString(), sqlMunicipio(municipio))
                  .arg(numero)
                  .arg(SqlTexto(carimbo))
                  .arg(procedimento)
                  .arg(realizado ? QStringLiteral("'S', ") : QString())
                  .arg(quantidade)
                  .arg(ProdutoSql(quantidade, valor), ProdutoSql(quantidade, valorSus)));
}

AutorizacaoAberta InsereProcedimento(Transacao& tr, const Autorizacao& a, const AutorizacaoAberta& aberta,
                                     qint64 procedimento, qint64 quantidade, const QDateTime& agora)
{
    AutorizacaoAberta r;
    RepeteSeNumeroTomado([&](bool& criando) {
        r = aberta;
        criando = r.numero <= 0;
        EmTransacao(tr, [&](Consulta& q) {
            if (criando) {
                r.numero = ProximoNumeroAutorizacao(q, a.municipio);
                r.chave = ChaveAutorizacao(a.municipio, r.numero, agora.time());
                insereAutorizacao(q, a, r.numero, r.chave, agora);
                criando = false; // a key error from here on is the procedure's own
            }
            InsereLinhaProcedimento(q, a.municipio, r.numero, QStringLiteral("M"), procedimento, quantidade);
            return RegistroLog{QStringLiteral("MarcacaoProced"), QStringLiteral("I"),
                               a.municipio + kSep + QString::number(r.numero) + kSep + QString::number(procedimento)};
        });
    });
    return r;
}

void ExcluiProcedimento(Transacao& tr, const QString& municipio, qint64 numero, qint64 procedimento,
                        const QString& carimbo)
{
    EmTransacao(tr, [&](Consulta& q) {
        if (numero <= 0)
            return RegistroLog{};
        q.executa(QStringLiteral("delete from Marcacao_Proceds where\nCli_origem=%1 and Id_Marcacao=%2 and "
                                 "CodProcedimento=%3 and Data_Imp_Adm=%4")
                      .arg(sqlMunicipio(municipio))
                      .arg(numero)
                      .arg(procedimento)
                      .arg(SqlTexto(carimbo)));
        return RegistroLog{QStringLiteral("MarcacaoProced"), QStringLiteral("E"),
                           municipio + kSep + QString::number(numero) + kSep + QString::number(procedimento)};
    });
}

Exigencias ExigenciasDe(const QVector<ProcedimentoMarcacao>& lista, bool municipioEmiteApac)
{
    Exigencias e;
    for (const ProcedimentoMarcacao& p : lista) {
        if (p.requerApac == QLatin1String("S") && municipioEmiteApac)
            e.apac = true;
        if (p.registro == QLatin1String("I"))
            e.bpaIndividual = true;
        if (p.nome.toUpper().contains(QLatin1String("FISIO")))
            e.fisio = true;
    }
    return e;
}

bool FaltaCid(const Exigencias& e, const QString& cid, bool perfilCorvane)
{
    if (!cid.trimmed().isEmpty() || !(e.apac || e.bpaIndividual))
        return false;
    return !perfilCorvane || e.fisio;
}

bool CaraterValido(const QString& carater)
{
    bool ok = false;
    const int c = carater.trimmed().toInt(&ok);
    return ok && c >= 1 && c <= 6;
}

void GravaFinalizacao(Transacao& tr, const Autorizacao& a, const AutorizacaoAberta& aberta)
{
    EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("update Marcacao set CodPessoa=%1, CodEntidade=%2, CodProfissional=%3, DataLanc=%4, "
                                 "DataMarc=%5, HoraMarc=%6, Carater=%7, CodCID=%8, ChaveImpre=%9, Obs=%10")
                      .arg(SqlInteiro(a.paciente), SqlInteiro(a.entidade), SqlInteiro(a.profissional),
                           SqlData(a.dataLanc), dataMarcSql(a.dataMarc), SqlTexto(a.horaMarc), SqlInteiro(a.carater),
                           SqlTexto(a.cid), SqlTexto(aberta.chave))
                      .arg(SqlTexto(a.obs)) +
                  QStringLiteral(", Finalizada='S'") + onde(a.municipio, aberta.numero));
        return RegistroLog{QStringLiteral("Marcacao"), QStringLiteral("U"), descricao(a, aberta.numero, aberta.chave)};
    });
}

void CancelaAutorizacao(Transacao& tr, const QString& municipio, qint64 numero, const QString& dataLanc)
{
    EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("UPDATE MARCACAO SET DATABLOQUEIO=%1, OBS=%2")
                      .arg(SqlData(dataLanc), SqlTexto(QStringLiteral("Autorização Cancelada pelo Usuário"))) +
                  onde(municipio, numero));
        return RegistroLog{QStringLiteral("Marcacao"), QStringLiteral("D"),
                           municipio + kSep + QString::number(numero) + kSep + QStringLiteral("Cancelou Autorização")};
    });
}

ResultadoEnvio EnviaAoDestino(FtpCliente* ftp, const QString& arquivo, const QString& destino, const LinhaStatus& status)
{
    if (status)
        status(LinhaComHora(QStringLiteral(" => Enviando arquivo XML...")));
    try {
        if (ftp && EnviaArquivoFtp(*ftp, arquivo, destino, status)) {
            MarcaEnviado(arquivo);
            return ResultadoEnvio::Enviado;
        }
        if (ftp)
            return ResultadoEnvio::Falhou;
    } catch (const std::exception&) {
    }
    if (status)
        status(LinhaComHora(QStringLiteral(" => Não foi possível ENVIAR o arquivo ") + arquivo));
    return ResultadoEnvio::NaoEnviado;
}

ResultadoEnvio EnviaAoProfissional(FtpCliente* ftp, const QString& arquivo, qint64 profissional, const LinhaStatus& status)
{
    return EnviaAoDestino(ftp, arquivo, QStringLiteral("P") + QString::number(profissional), status);
}

QString SituacaoEnvio(ResultadoEnvio r)
{
    switch (r) {
    case ResultadoEnvio::Enviado:
        return QStringLiteral("Enviou xml.");
    case ResultadoEnvio::Falhou:
        return QStringLiteral("Falhou ao enviar xml.");
    case ResultadoEnvio::NaoEnviado:
        break;
    }
    return QStringLiteral("Não foi possível enviar xml.");
}

EnvioAutorizacao EnviaAutorizacao(Transacao& tr, FtpCliente* ftp, const QString& municipio, const QString& nomeMunicipio,
                                  qint64 numero, const QString& profissional, const LinhaStatus& status)
{
    EnvioAutorizacao r;
    r.arquivo = NomeMensagemAutorizacao(municipio, numero);
    const QString prefixo = municipio + kSep + QString::number(numero) + kSep;
    auto linha = [&](const QString& t) {
        if (status)
            status(LinhaComHora(t));
    };
    EmTransacao(tr, [&](Consulta& q) {
        RegistraLog(q, QStringLiteral("Marcacao"), QStringLiteral("P"), prefixo + QStringLiteral("Imprimiu, gerará xml."));
        linha(QStringLiteral(" => Gerando arquivo XML..."));
        try {
            CriaPastasTroca();
            r.arquivo = GravaMensagemAutorizacao(tr, municipio, nomeMunicipio, numero);
            r.gravado = true;
        } catch (const std::exception&) {
            linha(QStringLiteral(" => Não foi possível CRIAR o arquivo ") + r.arquivo);
        }
        r.envio = EnviaAoProfissional(ftp, r.arquivo, profissional.toLongLong(), status);
        if (r.envio == ResultadoEnvio::Enviado)
            linha(QStringLiteral(" => Arquivo Enviado. Processo Concluído!"));
        else if (r.envio == ResultadoEnvio::Falhou)
            linha(LinhaEnvioPendente(QStringLiteral("A autorização está gravada"), r.arquivo));
        const QString situacao = SituacaoEnvio(r.envio);
        return RegistroLog{QStringLiteral("Marcacao"), QStringLiteral("P"), prefixo + situacao};
    });
    return r;
}

PacienteMarcacao LePacienteMarcacao(Transacao& tr, const QString& municipio, const QString& codigo)
{
    PacienteMarcacao p;
    const auto l = LeLinha(tr, QStringLiteral("select nome, datanasc, sexo, cartaosus, endereco, bairro, cep, raca, etnia "
                                              "from PESSOAS where Cli_origem=%1 and codigo=%2")
                                   .arg(sqlMunicipio(municipio), SqlInteiro(codigo)));
    if (!l)
        return p;
    auto tem = [&](const char* c) { return !l->texto(QLatin1String(c)).trimmed().isEmpty(); };
    p.nome = l->texto(QStringLiteral("NOME"));
    p.cartaoSus = l->texto(QStringLiteral("CARTAOSUS")).trimmed();
    p.modulos = p.cartaoSus == QLatin1String("MODULOS");
    p.completo = p.modulos || (!l->nulo(QStringLiteral("DATANASC")) && tem("SEXO") && tem("CARTAOSUS") && tem("NOME") &&
                               tem("ENDERECO") && tem("BAIRRO") && tem("CEP") &&
                               (l->texto(QStringLiteral("RACA")).trimmed() != QLatin1String("05") || tem("ETNIA")));
    return p;
}

QString SqlHistoricoPaciente(const QString& municipio, const QString& codigo)
{
    return QStringLiteral("select M.DATALANC, MP.QUANTIDADE as QUANTID, P.NOME, M.DATAMARC, M.DATAREALIZACAO, "
                          "M.CODPROFISSIONAL, M.CODENTIDADE,\n"
                          "MP.CODPROCEDIMENTO, E.RAZAOSOCIAL, PF.NOME AS NOMEPROF\n"
                          "FROM MARCACAO_PROCEDS MP\n"
                          "INNER JOIN MARCACAO M ON MP.CLI_ORIGEM=M.CLI_ORIGEM AND MP.ID_MARCACAO=M.ID_MARCACAO "
                          "AND MP.DATA_IMP_ADM=M.DATA_IMP_ADM\n"
                          "LEFT OUTER JOIN PROCEDIMENTOS P ON MP.CODPROCEDIMENTO=P.CODIGO\n"
                          "LEFT OUTER JOIN ENTIDADES E ON M.CODENTIDADE=E.CODIGO\n"
                          "LEFT OUTER JOIN PROFISSIONAIS PF ON M.CODPROFISSIONAL=PF.CODIGO\n"
                          "WHERE M.CLI_ORIGEM=%1 AND M.CODPESSOA=%2\n"
                          "AND M.DATABLOQUEIO IS NULL\n"
                          "ORDER BY M.DATALANC DESC")
        .arg(sqlMunicipio(municipio), SqlInteiro(codigo));
}

} // namespace vx
