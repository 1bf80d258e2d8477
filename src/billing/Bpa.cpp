#include "billing/Bpa.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/Configuracao.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "municipality/CartaoSus.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <stdexcept>

namespace vx::bpa {

namespace {

// A record built field by field; every field states its 1-based position, so the code reads as
// the layout and a field out of place is a programming error caught at once.
class Linha {
public:
    Linha(int tamanho, QString nome) : m_tamanho(tamanho), m_nome(std::move(nome)) { m_b.reserve(tamanho + 2); }

    Linha& texto(int pos, int largura, const QString& s)
    {
        confere(pos);
        QByteArray b = s.left(largura).toLatin1();
        for (char& c : b)
            if (static_cast<unsigned char>(c) < 0x20)
                c = ' ';
        m_b += b;
        m_b += QByteArray(largura - b.size(), ' ');
        return *this;
    }
    Linha& numero(int pos, int largura, qint64 v, const QString& campo)
    {
        const QString t = QString::number(v);
        if (v < 0 || t.size() > largura)
            throw ErroValor(QStringLiteral("%1: o valor %2 do campo %3 não cabe em %4 dígitos.")
                                .arg(m_nome, t, campo).arg(largura));
        return texto(pos, largura, t.rightJustified(largura, QLatin1Char('0')));
    }
    // A number held as text: digits only (blanks around allowed).
    Linha& numeroTexto(int pos, int largura, const QString& s, const QString& campo)
    {
        const QString t = s.trimmed();
        if (!SoDigitos(t))
            throw ErroValor(QStringLiteral("%1: o campo %2 deve ser numérico (\"%3\").").arg(m_nome, campo, s));
        QString semZeros = t;
        while (semZeros.size() > 1 && semZeros.startsWith(QLatin1Char('0')))
            semZeros.remove(0, 1);
        if (semZeros.size() > largura)
            throw ErroValor(QStringLiteral("%1: o valor %2 do campo %3 não cabe em %4 dígitos.")
                                .arg(m_nome, t, campo).arg(largura));
        return texto(pos, largura, semZeros.rightJustified(largura, QLatin1Char('0')));
    }
    Linha& brancos(int pos, int largura) { return texto(pos, largura, QString()); }
    Linha& data(int pos, const QDate& d) { return texto(pos, 8, d.isValid() ? d.toString(QStringLiteral("yyyyMMdd")) : QString()); }

    QByteArray parcial() const { return m_b; }
    QByteArray conclui()
    {
        if (m_b.size() != m_tamanho)
            throw std::logic_error("registro BPA de tamanho errado");
        return m_b + "\r\n";
    }

private:
    void confere(int pos)
    {
        if (m_b.size() != pos - 1)
            throw std::logic_error("campo BPA fora de posição");
    }
    QByteArray m_b;
    int m_tamanho;
    QString m_nome;
};

QString competenciaDe(const QDate& d)
{
    return d.toString(QStringLiteral("yyyyMM"));
}

qint64 codigoNumerico(const QString& codigo)
{
    bool ok = false;
    const qint64 v = codigo.trimmed().toLongLong(&ok);
    return ok ? v : 0;
}

// The start of the selections of production: the procedure lines of the period with their
// authorization, procedure and professional.
const char* const kJuncao =
    "from MARCACAO_PROCEDS MP "
    "inner join MARCACAO M on MP.ID_MARCACAO=M.ID_MARCACAO and MP.CLI_ORIGEM=M.CLI_ORIGEM "
    "AND MP.data_imp_adm=M.data_imp_adm "
    "inner join PROCEDIMENTOS PR on MP.CodProcedimento=PR.Codigo ";

const char* const kIdadeAgrupada = "CAST(case when PA.pa_idebpa = 'S' then M.Idade else 999 end AS INTEGER)";

QString sqlConsolidado(const char* juncaoSPa, const QString& filtro, bool valor)
{
    const QString idade = QString::fromLatin1(kIdadeAgrupada);
    return QStringLiteral("select sum(MP.quantidade) as Qtd, ") + (valor ? QStringLiteral("sum(MP.ValorTotalSUS) as Valor, ") : QString())
        + QStringLiteral("PR.CODTABSUS, PF.CBO, ") + idade + QStringLiteral(" as Idade ") + QLatin1String(kJuncao)
        + QLatin1String(juncaoSPa)
        + QStringLiteral("inner join PROFISSIONAIS PF on M.CodProfissional=PF.Codigo "
                         "where M.Data_IMPORTACAO >= ? and M.Data_IMPORTACAO <= ? "
                         "and PR.CodTabSus is not null and PR.CodTabSus <> '' and PF.CNSBPA <> 'X' "
                         "and PR.Registro like '%C%' ")
        + filtro + QStringLiteral("group by PR.CODTABSUS, PF.CBO, ") + idade
        + QStringLiteral(" order by PR.CODTABSUS, PF.CBO, ") + idade;
}

const char* const kCamposIndividualizado =
    "select PR.CodTabSus, MP.Quantidade, MP.ValorTotalSUS, PF.CBO, PF.CNSBPA, M.CHAVEIMPRE, M.Idade, "
    "M.DataRealizacao, M.Carater, C.CEP, PAC.Cli_Origem, PAC.CartaoSUS, PAC.Sexo, PAC.Nome, PAC.Raca, PAC.Etnia, "
    "PAC.DataNasc, PAC.Codtipolograd, PAC.Endereco, PAC.Endnum, PAC.Fones, PAC.Bairro, M.CodCID ";

QString sqlIndividualizado(const QString& filtro, const QString& ordem)
{
    return QLatin1String(kCamposIndividualizado) + QLatin1String(kJuncao)
        + QStringLiteral("inner join S_PA PA on PR.CodTabSUS=PA.PA_ID || PA.PA_DV "
                         "inner join PROFISSIONAIS PF on M.CodProfissional=PF.Codigo "
                         "inner join PESSOAS PAC on M.Cli_origem=PAC.Cli_origem and M.CodPessoa=PAC.Codigo "
                         "left outer join CLIENTES C on M.Cli_origem=C.Codigo "
                         "where M.Data_IMPORTACAO >= ? and M.Data_IMPORTACAO <= ? "
                         "and PR.Registro = 'I' and PF.CNSBPA <> 'X' ")
        + filtro + ordem;
}

QString filtroExibir(Exibir e)
{
    switch (e) {
    case Exibir::Pab:
        return QStringLiteral("and (PA.PA_CTF='01' or PA.PA_CTF='07') ");
    case Exibir::Mac:
        return QStringLiteral("and not (PA.PA_CTF='01' or PA.PA_CTF='07') ");
    case Exibir::Todos:
        break;
    }
    return {};
}

std::optional<qint64> inteiroOpcional(const Campo& c)
{
    if (c.nulo)
        return std::nullopt;
    return c.inteiro();
}

Individualizado leIndividualizado(const Consulta& q)
{
    const auto t = [&](const char* n) { return q.campo(QLatin1String(n)).texto(); };
    Individualizado r;
    r.codigo = t("CODTABSUS");
    r.quantidade = q.campo(QStringLiteral("QUANTIDADE")).inteiro();
    r.cbo = t("CBO");
    r.cnsProfissional = t("CNSBPA");
    r.chave = t("CHAVEIMPRE");
    r.idade = inteiroOpcional(q.campo(QStringLiteral("IDADE")));
    r.realizacao = q.campo(QStringLiteral("DATAREALIZACAO")).data();
    r.carater = inteiroOpcional(q.campo(QStringLiteral("CARATER")));
    r.cep = t("CEP");
    r.origem = t("CLI_ORIGEM");
    r.cartao = t("CARTAOSUS");
    r.sexo = t("SEXO");
    r.nome = t("NOME");
    r.raca = t("RACA");
    r.etnia = t("ETNIA");
    r.nascimento = q.campo(QStringLiteral("DATANASC")).data();
    r.tipoLogradouro = inteiroOpcional(q.campo(QStringLiteral("CODTIPOLOGRAD")));
    r.endereco = t("ENDERECO");
    r.numero = inteiroOpcional(q.campo(QStringLiteral("ENDNUM")));
    r.fones = t("FONES");
    r.bairro = t("BAIRRO");
    r.cid = t("CODCID");
    return r;
}

} // namespace

void Numeracao::avanca()
{
    if (sequencia >= kPorFolha) {
        sequencia = 1;
        ++folha;
    } else {
        ++sequencia;
    }
}

int CampoControle(qint64 soma)
{
    return int(soma % 1111) + 1111;
}

QString NomeArquivoBpa(const QString& cnes, const QDate& fim, bool mac)
{
    return (mac ? QStringLiteral("NP") : QStringLiteral("PA")) + cnes.left(6) + QLatin1Char('.')
        + NomeMes(fim.month()).left(3);
}

Identificacao Identificacao::DaConfiguracao()
{
    return {Geral::CNES().trimmed(), Geral::CONSORCIO(), Geral::CNPJCPF(), QString::fromLatin1(VersaoPrograma)};
}

void ValidaCnes(const QString& cnes)
{
    if (cnes.size() != 7 || !SoDigitos(cnes))
        throw ErroValor(QStringLiteral("O CNES do consórcio (GERAL/CNES) deve ter exatamente 7 dígitos; "
                                       "está configurado \"%1\". O arquivo BPA não foi gerado.")
                            .arg(cnes));
}

QString CartaoBpa(const QString& cartao)
{
    QString n = cartao.trimmed();
    n.remove(QLatin1Char('.'));
    n.remove(QLatin1Char(' '));
    return n.size() == 15 && AvaliaCartaoSUS(n).valido ? n : QString();
}

QString CpfBpa(const QString& cartao)
{
    const QString t = cartao.trimmed();
    return CpfValido(t) ? Digitos(t) : QString();
}

QString TelefoneBpa(const QString& fones)
{
    qsizetype fim = fones.size();
    for (const QChar sep : {QLatin1Char('/'), QLatin1Char(','), QLatin1Char(';')}) {
        const qsizetype i = fones.indexOf(sep);
        if (i >= 0 && i < fim)
            fim = i;
    }
    QString d = Digitos(fones.left(fim));
    while (d.startsWith(QLatin1Char('0')))
        d.remove(0, 1);
    return d.size() > 11 ? QString() : d;
}

QByteArray Cabecalho(const Identificacao& id, const QDate& competencia, int linhas, int folhas, int controle)
{
    Linha l(kTamCabecalho, QStringLiteral("Cabeçalho"));
    QString cnpj = id.cnpjcpf;
    cnpj.remove(QLatin1Char('.'));
    cnpj.remove(QLatin1Char('-'));
    cnpj.remove(QLatin1Char('/'));
    const qsizetype espaco = id.consorcio.indexOf(QLatin1Char(' '));
    l.texto(1, 2, QStringLiteral("01"))
        .texto(3, 5, QStringLiteral("#BPA#"))
        .texto(8, 6, competenciaDe(competencia))
        .numero(14, 6, linhas, QStringLiteral("linhas"))
        .numero(20, 6, folhas, QStringLiteral("folhas"))
        .numero(26, 4, controle, QStringLiteral("controle"))
        .texto(30, 30, id.consorcio)
        .texto(60, 6, espaco >= 0 ? id.consorcio.left(espaco) : QString())
        .numeroTexto(66, 14, cnpj.isEmpty() ? QStringLiteral("0") : cnpj, QStringLiteral("CNPJ (GERAL/CNPJCPF)"))
        .texto(80, 40, QStringLiteral("CRS - COORDENADORIA REGIONAL DE SAUDE"))
        .texto(120, 1, QStringLiteral("E"))
        .texto(121, 10, id.versao);
    return l.conclui();
}

QByteArray RegistroConsolidado(const Identificacao& id, const QDate& competencia, const Numeracao& n,
                               const Consolidado& c)
{
    Linha l(kTamConsolidado, QStringLiteral("BPA-C"));
    const bool comIdade = c.idade && *c.idade != 999;
    l.texto(1, 2, QStringLiteral("02"))
        .texto(3, 7, id.cnes)
        .texto(10, 6, competenciaDe(competencia))
        .texto(16, 6, c.cbo)
        .numero(22, 3, n.folha, QStringLiteral("folha"))
        .numero(25, 2, n.sequencia, QStringLiteral("sequência"));
    l.numeroTexto(27, 10, c.codigo, QStringLiteral("procedimento"));
    if (comIdade)
        l.numero(37, 3, *c.idade, QStringLiteral("idade"));
    else
        l.brancos(37, 3);
    l.numero(40, 6, c.quantidade, QStringLiteral("quantidade")).texto(46, 3, QStringLiteral("EXT"));
    return l.conclui();
}

QByteArray RegistroIndividualizado(const Identificacao& id, const QDate& competencia, const Numeracao& n,
                                   const Individualizado& r, QString* faltas)
{
    Linha l(kTamIndividualizado, QStringLiteral("Chave ") + r.chave);
    const QString cartao = CartaoBpa(r.cartao);
    const QString cpf = cartao.isEmpty() ? CpfBpa(r.cartao) : QString();
    const QChar sexo = r.sexo.isEmpty() ? QChar() : r.sexo.at(0);
    const bool idadeValida = !r.idade || (*r.idade >= 0 && *r.idade <= 999);
    if (faltas) {
        QString f;
        if (r.cnsProfissional.isEmpty())
            f += QStringLiteral("CNS Profissional; ");
        if (r.cbo.isEmpty())
            f += QStringLiteral("CBO Profissional; ");
        if (cartao.isEmpty() && cpf.isEmpty())
            f += QStringLiteral("CNS Paciente; ");
        if (sexo != QLatin1Char('M') && sexo != QLatin1Char('F'))
            f += QStringLiteral("Sexo Paciente; ");
        if (r.cid.trimmed().isEmpty())
            f += QStringLiteral("CID; ");
        if (!idadeValida)
            f += QStringLiteral("Idade Paciente; ");
        if (!r.nascimento.isValid())
            f += QStringLiteral("Data Nascimento Paciente; ");
        *faltas = f;
    }
    QString cid = r.cid.toUpper();
    cid.remove(QLatin1Char('.'));
    cid = cid.trimmed();
    const QString raca = r.raca.left(2).trimmed();
    const QString etnia = r.etnia.trimmed();
    const QString chave = r.chave.left(13);
    const QString fone = TelefoneBpa(r.fones);
    QString cep = r.cep;
    cep.remove(QLatin1Char('-'));

    l.texto(1, 2, QStringLiteral("03"))
        .texto(3, 7, id.cnes)
        .texto(10, 6, competenciaDe(competencia))
        .texto(16, 15, r.cnsProfissional)
        .texto(31, 6, r.cbo)
        .data(37, r.realizacao)
        .numero(45, 3, n.folha, QStringLiteral("folha"))
        .numero(48, 2, n.sequencia, QStringLiteral("sequência"))
        .numeroTexto(50, 10, r.codigo, QStringLiteral("procedimento"))
        .texto(60, 15, cartao)
        .texto(75, 1, sexo.isNull() ? QString() : QString(sexo))
        .texto(76, 6, r.origem.left(6))
        .texto(82, 4, cid.isEmpty() ? QStringLiteral("R529") : cid)
        .numero(86, 3, idadeValida ? r.idade.value_or(0) : 999, QStringLiteral("idade"))
        .numero(89, 6, r.quantidade, QStringLiteral("quantidade"))
        .numero(95, 2, r.carater.value_or(0) != 0 ? *r.carater : 1, QStringLiteral("caráter"));
    if (SoDigitos(chave))
        l.numeroTexto(97, 13, chave, QStringLiteral("autorização"));
    else
        l.brancos(97, 13);
    l.texto(110, 3, QStringLiteral("EXT"))
        .texto(113, 30, r.nome)
        .data(143, r.nascimento);
    if (raca.isEmpty())
        l.texto(151, 2, QStringLiteral("99"));
    else
        l.numeroTexto(151, 2, raca, QStringLiteral("raça"));
    if (!etnia.isEmpty() && etnia != QLatin1String("999"))
        l.numeroTexto(153, 4, etnia, QStringLiteral("etnia"));
    else
        l.texto(153, 4, raca == QLatin1String("05") ? QStringLiteral("0077") : QString());
    l.texto(157, 3, QStringLiteral("010"))
        .brancos(160, 3)
        .brancos(163, 3)
        .brancos(166, 8)
        .brancos(174, 4)
        .brancos(178, 14)
        .texto(192, 8, cep)
        .numero(200, 3, r.tipoLogradouro.value_or(0), QStringLiteral("tipo de logradouro"))
        .texto(203, 30, r.endereco)
        .brancos(233, 10)
        .texto(243, 5, r.numero ? QString::number(*r.numero) : QStringLiteral("1"))
        .texto(248, 30, r.bairro);
    if (fone.isEmpty())
        l.brancos(278, 11);
    else
        l.numeroTexto(278, 11, fone, QStringLiteral("telefone"));
    l.brancos(289, 40)
        .brancos(329, 10)
        .texto(339, 11, cpf)
        .texto(350, 1, QStringLiteral("N"));
    return l.conclui();
}

ArquivoBpa MontaArquivoBpa(Transacao& tr, const QDate& inicio, const QDate& fim, bool mac, const Identificacao& id)
{
    ValidaCnes(id.cnes);
    const QVariantList periodo = ParametrosPeriodo(inicio, fim);
    ArquivoBpa a;
    a.nome = NomeArquivoBpa(id.cnes, fim, mac);
    QByteArray corpo;
    qint64 soma = 0;
    Numeracao n;
    Lendo(tr, [&] {
        Consulta q(tr);
        q.abre(sqlConsolidado("inner join S_PA PA on PR.CodTabSUS=PA.PA_ID || PA.PA_DV ", {}, false), periodo);
        for (int linha = 1; !q.eof(); q.proximo(), ++linha) {
            Consolidado c{q.campo(QStringLiteral("CODTABSUS")).texto(), q.campo(QStringLiteral("CBO")).texto(),
                          inteiroOpcional(q.campo(QStringLiteral("IDADE"))), q.campo(QStringLiteral("QTD")).inteiro()};
            try {
                corpo += RegistroConsolidado(id, fim, n, c);
            } catch (const ErroValor& e) {
                a.falhas << QStringLiteral("Erro: %1 => %2 (%3)").arg(linha).arg(c.codigo, e.texto());
                continue;
            }
            soma += codigoNumerico(c.codigo) + c.quantidade;
            ++a.registros;
            n.avanca();
        }
        q.abre(sqlIndividualizado(QStringLiteral("and PF.CNSBPA <> '' "),
                                  QStringLiteral("order by MP.Cli_origem, MP.CodProcedimento, MP.ID_MARCACAO")),
               periodo);
        for (; !q.eof(); q.proximo()) {
            const Individualizado r = leIndividualizado(q);
            QString faltas;
            corpo += RegistroIndividualizado(id, fim, n, r, &faltas);
            if (!faltas.isEmpty())
                a.erros << QStringLiteral("Chave ") + r.chave + QStringLiteral(": ") + faltas;
            soma += codigoNumerico(r.codigo) + r.quantidade;
            ++a.registros;
            n.avanca();
            if (a.registros > kMaxRegistros)
                break;
        }
        return 0;
    });
    if (a.registros > kMaxRegistros)
        throw ErroValor(QStringLiteral("O período tem mais de %1 registros de produção; o arquivo BPA aceita no "
                                       "máximo %1. Gere o arquivo de um período menor.")
                            .arg(kMaxRegistros));
    a.folhas = n.folha;
    a.controle = CampoControle(soma);
    a.conteudo = Cabecalho(id, fim, a.registros + 1, a.folhas, a.controle) + corpo;
    return a;
}

QVariantList ParametrosPeriodo(const QDate& inicio, const QDate& fim)
{
    return {QDateTime(inicio, QTime(0, 0, 1)), QDateTime(fim, QTime(23, 59, 59))};
}

QString PastaExportacaoBpa()
{
    const QString p = Geral::PASTABPA();
    return p.isEmpty() ? CaminhoInstalacao(QStringLiteral("BPA")) : p;
}

QString PastaCopiaBpa()
{
    return CaminhoInstalacao(QStringLiteral("ARQBPA"));
}

GravacaoBpa GravaArquivoBpa(const ArquivoBpa& a, const QString& pasta, const QString& pastaCopia)
{
    GravacaoBpa g;
    g.arquivo = QDir(pasta).filePath(a.nome);
    g.copia = QDir(pastaCopia).filePath(a.nome);
    if (!QDir().mkpath(pasta))
        throw ErroValor(QStringLiteral("Não foi possível criar a pasta ") + pasta);
    QSaveFile f(g.arquivo);
    if (!f.open(QIODevice::WriteOnly) || f.write(a.conteudo) != a.conteudo.size() || !f.commit())
        throw ErroValor(QStringLiteral("Não foi possível gravar o arquivo ") + g.arquivo + QStringLiteral(": ")
                        + f.errorString());
    if (QDir(pasta).absolutePath() == QDir(pastaCopia).absolutePath()) {
        g.copiou = true;
        return g;
    }
    QDir().mkpath(pastaCopia);
    QSaveFile c(g.copia);
    g.copiou = c.open(QIODevice::WriteOnly) && c.write(a.conteudo) == a.conteudo.size() && c.commit();
    return g;
}

QString SqlPreviaConsolidado(Exibir exibir)
{
    return sqlConsolidado("left outer join S_PA PA on PR.CodTabSUS=PA.PA_ID || PA.PA_DV ", filtroExibir(exibir), true);
}

QString SqlPreviaIndividualizado(Exibir exibir, qint64 grupo, bool comCns)
{
    QString filtro = filtroExibir(exibir);
    if (grupo != 0)
        filtro += QStringLiteral("and PR.CodGrupo = ") + SqlInteiro(grupo) + QLatin1Char(' ');
    filtro += comCns ? QStringLiteral("and PF.CNSBPA <> '' ") : QStringLiteral("and PF.CNSBPA = '' ");
    return sqlIndividualizado(filtro, QStringLiteral("order by PR.CodTabSus, M.CLI_ORIGEM, M.DataRealizacao, PAC.Nome"));
}

void CompletaIdades(Transacao& tr)
{
    EmTransacao(tr, [](Consulta& q) {
        q.executa(QStringLiteral(
            "update Marcacao M set M.idade=extract(year from M.datarealizacao)-(select extract(year from p.datanasc) "
            "from pessoas p where m.cli_origem=p.cli_origem and m.codpessoa=p.codigo) where M.idade is null"));
        return RegistroLog{};
    });
}

} // namespace vx::bpa
