#include "municipality/Pacientes.h"
#include "core/UProcuraNome.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/RegistraLog.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"

namespace vx {

QString ClienteOrigemInstalacao()
{
    return EhMunicipio() ? CodigoInstalacao() : QString::fromLatin1(kCliOrigemNenhum);
}

// ---- lists ----

const QStringList& ItensRaca()
{
    static const QStringList l{QStringLiteral("01 - Branca"), QStringLiteral("02 - Preta"),
                               QStringLiteral("03 - Parda"),  QStringLiteral("04 - Amarela"),
                               QStringLiteral("05 - Indígena"), QStringLiteral("99 - Sem Informação")};
    return l;
}

const QStringList& ItensEtnia()
{
    static const QStringList l{QStringLiteral("058 - Guarani Kaiowa"), QStringLiteral("077 - Kaingang"),
                               QStringLiteral("057 - Guajajara"),      QStringLiteral("143 - Makuxi"),
                               QStringLiteral("208 - Ticuna"),         QStringLiteral("999 - Sem Inform.")};
    return l;
}

namespace {
int indiceNaLista(const QStringList& itens, int largura, const QString& valor)
{
    const QString v = valor.trimmed();
    for (int i = 0; i < itens.size() - 1; ++i)
        if (itens[i].left(largura) == v)
            return i;
    return int(itens.size()) - 1;
}
} // namespace

int IndiceRaca(const QString& raca)
{
    return indiceNaLista(ItensRaca(), 2, raca);
}

int IndiceEtnia(const QString& etnia)
{
    return indiceNaLista(ItensEtnia(), 3, etnia);
}

QString CodigoRaca(const QString& item)
{
    return item.left(2);
}

QString CodigoEtnia(const QString& item)
{
    return item.left(3);
}

// ---- loading ----

QString SqlCarregaPaciente(const QString& cliOrigem, const QString& codigo)
{
    return QStringLiteral("select * from PESSOAS where Cli_origem=") + SqlTexto(cliOrigem) +
           QStringLiteral(" and codigo=") + SqlInteiro(codigo);
}

bool CarregaPaciente(Transacao& tr, const QString& cliOrigem, const QString& codigo, Paciente& p)
{
    const QString sql = SqlCarregaPaciente(cliOrigem, codigo); // checks the code first
    if (codigo.trimmed().isEmpty())
        return false;
    Consulta q(tr);
    q.abre(sql);
    if (q.eof())
        return false;
    const auto t = [&](const char* c) { return q.campo(QLatin1String(c)).texto(); };
    const auto inteiro = [&](const char* c) {
        const Campo& f = q.campo(QLatin1String(c));
        return f.nulo ? QStringLiteral("0") : f.texto();
    };
    p.cliOrigem = t("CLI_ORIGEM");
    p.codigo = t("CODIGO");
    p.cartaoSus = t("CARTAOSUS");
    p.nome = t("NOME");
    const QDate nasc = q.campo(QStringLiteral("DATANASC")).data();
    p.dataNasc = nasc.isValid() ? TextoData(nasc) : QStringLiteral("  /  /    ");
    p.sexo = t("SEXO").trimmed();
    p.raca = CodigoRaca(ItensRaca().at(IndiceRaca(t("RACA"))));
    p.etnia = CodigoEtnia(ItensEtnia().at(IndiceEtnia(t("ETNIA"))));
    p.responsavel = t("RESPONSAVEL");
    p.nomeMae = t("NOMEMAE");
    p.codTipoLograd = inteiro("CODTIPOLOGRAD");
    p.endereco = t("ENDERECO");
    p.endNum = inteiro("ENDNUM");
    p.bairro = t("BAIRRO");
    p.cep = t("CEP");
    p.fones = t("FONES");
    p.obs = t("OBS");
    return true;
}

// ---- checks ----

Pendencia VerificaPacienteMunicipio(const Paciente& p)
{
    const auto curto = [](const QString& v, int minimo) { return v.trimmed().size() <= minimo; };
    if (curto(p.nomeMae, 3))
        return {QStringLiteral("PENomeMae"), QStringLiteral("Valor inválido para o campo [Nome Mãe]")};
    if (curto(p.endereco, 3))
        return {QStringLiteral("PEEndereco"), QStringLiteral("Valor inválido para o campo [Endereco]")};
    if (curto(p.bairro, 3))
        return {QStringLiteral("PEBairro"), QStringLiteral("Valor inválido para o campo [Bairro]")};
    if (curto(p.cep, 7))
        return {QStringLiteral("PECep"), QStringLiteral("Valor inválido para o campo [CEP]")};
    const QString etnia = p.etnia.trimmed();
    if (p.raca == QLatin1String("05") && (etnia.isEmpty() || etnia == QLatin1String("999")))
        return {QStringLiteral("CBEtnia"), QStringLiteral("Para Raça Indígena é obrigatório informar o campo [ETNIA]")};
    return {};
}

Pendencia VerificaIdade(const QString& dataNasc, const QDate& hoje)
{
    if (dataNasc.trimmed().isEmpty() || dataNasc == QLatin1String("  /  /    "))
        return {};
    const QDate d = LeData(dataNasc);
    if (!d.isValid())
        return {QStringLiteral("PEDataNasc"), QStringLiteral("Valor Inválido, insira uma Data Válida!")};
    const int idade = IdadeAnos(d, hoje);
    if (idade < 0 || idade > 120)
        return {QStringLiteral("PEDataNasc"), QStringLiteral("Data Inválida (%1 anos)").arg(idade)};
    return {};
}

Pendencia VerificaIdade(const QString& dataNasc)
{
    return VerificaIdade(dataNasc, QDate::currentDate());
}

// ---- statements ----

QString SqlProximoCodigoConsorcio(const QString& cliOrigem)
{
    return QStringLiteral("select max(codigo) as cod from pessoas where cli_origem=") + SqlTexto(cliOrigem) +
           QStringLiteral("\nand codigo > %1").arg(kCodigoBaseConsorcio);
}

QString ProximoCodigoConsorcio(Transacao& tr, const QString& cliOrigem)
{
    const QVariant v = tr.valor(SqlProximoCodigoConsorcio(cliOrigem));
    return QString::number(v.isValid() ? v.toLongLong() + 1 : kCodigoBaseConsorcio + 1);
}

QString SqlInserePaciente(const Paciente& p)
{
    const QStringList valores{SqlTexto(p.cliOrigem),     SqlInteiro(p.codigo),   SqlTexto(p.cartaoSus),
                              SqlTexto(p.nome),          SqlData(p.dataNasc),    SqlTexto(p.sexo),
                              SqlTexto(p.raca),          SqlTexto(p.etnia),      SqlTexto(p.responsavel),
                              SqlTexto(p.nomeMae),       SqlInteiro(p.codTipoLograd), SqlTexto(p.endereco),
                              SqlInteiro(p.endNum),      SqlTexto(p.bairro),     SqlTexto(p.cep),
                              SqlTexto(p.fones),         SqlTexto(p.obs)};
    return QStringLiteral("insert into Pessoas(Cli_origem, Codigo, CartaoSUS, Nome, DataNasc, Sexo, Raca, Etnia, "
                          "Responsavel, NomeMae, CodTipoLograd, Endereco, EndNum, Bairro, Cep, Fones, Obs) values(") +
           valores.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString SqlAlteraPaciente(const Paciente& p)
{
    const QStringList atribuicoes{
        QStringLiteral("CartaoSUS=") + SqlTexto(p.cartaoSus),
        QStringLiteral("Nome=") + SqlTexto(p.nome),
        QStringLiteral("DataNasc=") + SqlData(p.dataNasc),
        QStringLiteral("Sexo=") + SqlTexto(p.sexo),
        QStringLiteral("Raca=") + SqlTexto(p.raca),
        QStringLiteral("Etnia=") + SqlTexto(p.etnia),
        QStringLiteral("Responsavel=") + SqlTexto(p.responsavel),
        QStringLiteral("Nomemae=") + SqlTexto(p.nomeMae),
        QStringLiteral("CodTipoLograd=") + SqlInteiro(p.codTipoLograd),
        QStringLiteral("Endereco=") + SqlTexto(p.endereco),
        QStringLiteral("EndNum=") + SqlInteiro(p.endNum),
        QStringLiteral("Bairro=") + SqlTexto(p.bairro),
        QStringLiteral("Cep=") + SqlTexto(p.cep),
        QStringLiteral("Fones=") + SqlTexto(p.fones),
        QStringLiteral("Obs=") + SqlTexto(p.obs)};
    return QStringLiteral("update Pessoas set\n") + atribuicoes.join(QStringLiteral(",\n")) +
           QStringLiteral("\nwhere Cli_Origem=") + SqlTexto(p.cliOrigem) + QStringLiteral(" and Codigo=") +
           SqlInteiro(p.codigo);
}

// ---- duplicate warning ----

namespace {
QString sqlDuplicidade(const QString& coluna, const QString& valor, bool semAcentos)
{
    // Names compare as the search does, without accents or case: "JOSE DA CONCEICAO" warns about
    // "JOSÉ DA CONCEIÇÃO".
    const QString comparado = semAcentos && coluna.compare(QLatin1String("Nome"), Qt::CaseInsensitive) == 0
        ? coluna + QStringLiteral(" collate ") + QLatin1String(kColacaoBusca)
        : coluna;
    return QStringLiteral("select codigo, Nome, %1 from pessoas where %2=").arg(coluna, comparado) + SqlTexto(valor);
}

} // namespace

QString SqlDuplicidade(const QString& coluna, const QString& valor)
{
    return sqlDuplicidade(coluna, valor, true);
}

QString AvisoDuplicidade(Transacao& tr, const QString& coluna, const QString& valor, const QString& codigoTela)
{
    if (valor.startsWith(QLatin1String("  ")) || valor.size() <= 3)
        return {};
    Consulta q(tr);
    try {
        q.abre(SqlDuplicidade(coluna, valor));
    } catch (const ErroBanco&) {
        // A name column of another character set compares as stored.
        q.abre(sqlDuplicidade(coluna, valor, false));
    }
    if (q.eof())
        return {};
    const QString codigo = q.campo(QStringLiteral("CODIGO")).texto();
    if (codigo == codigoTela)
        return {};
    return coluna + QStringLiteral(" já cadastrado para ") + q.campo(QStringLiteral("NOME")).texto() +
           QStringLiteral(", de código ") + codigo;
}

// ---- save and delete ----

namespace {
QString descricaoLog(const QString& codigo, const QString& nome)
{
    return codigo + QLatin1Char('-') + nome.left(40);
}
} // namespace

GravacaoPaciente GravaPaciente(Transacao& tr, const Paciente& dados, bool consorcio, bool* iniciada)
{
    if (iniciada)
        *iniciada = false;
    Paciente p = dados;
    p.codigo = p.codigo.trimmed();
    if (p.codigo == QLatin1String("0"))
        p.codigo.clear();
    GravacaoPaciente r;
    try {
        tr.inicia();
        if (iniciada)
            *iniciada = true;
        if (!p.codigo.isEmpty()) {
            const bool existe = tr.valor(QStringLiteral("select 1 from PESSOAS where Cli_origem=") + SqlTexto(p.cliOrigem) +
                                         QStringLiteral(" and codigo=") + SqlInteiro(p.codigo)).isValid();
            r.situacao = existe ? QStringLiteral("U") : QStringLiteral("I");
        } else {
            r.situacao = QStringLiteral("I");
            if (consorcio)
                p.codigo = ProximoCodigoConsorcio(tr, p.cliOrigem);
        }
        if (r.situacao == QLatin1String("U")) {
            tr.executa(SqlAlteraPaciente(p));
        } else if (!p.codigo.isEmpty()) {
            tr.executa(SqlInserePaciente(p));
        } else {
            // The database gives the code; read it back for the audit row and the caller.
            p.codigo = tr.valor(SqlInserePaciente(p) + QStringLiteral("\nreturning Codigo")).toString();
        }
        r.codigo = p.codigo;
        RegistraLog(tr, QStringLiteral("Pessoas"), r.situacao, descricaoLog(p.codigo, p.nome));
        tr.commit();
    } catch (...) {
        tr.rollback();
        throw;
    }
    // The patient is saved: a configuration that cannot be written must not look like a failed
    // save (a second click would insert the patient again).
    try {
        Ini().escreve(QStringLiteral("GERAL"), QStringLiteral("CEP"), p.cep);
    } catch (const ErroConfiguracao& e) {
        r.falhaCep = e.texto();
    }
    return r;
}

QString MotivoNaoExcluir(Transacao& tr, const QString& cliOrigem, const QString& codigo)
{
    const QString onde = QStringLiteral(" where CLI_ORIGEM=") + SqlTexto(cliOrigem) + QStringLiteral(" and CODPESSOA=") +
                         SqlInteiro(codigo);
    const qint64 autorizacoes = tr.valor(QStringLiteral("select count(*) from MARCACAO") + onde).toLongLong();
    const qint64 agendamentos = tr.valor(QStringLiteral("select count(*) from AGENDA") + onde).toLongLong();
    if (autorizacoes == 0 && agendamentos == 0)
        return {};
    QStringList partes;
    if (autorizacoes > 0)
        partes << QStringLiteral("%1 autorização(ões)").arg(autorizacoes);
    if (agendamentos > 0)
        partes << QStringLiteral("%1 agendamento(s)").arg(agendamentos);
    return QStringLiteral("Este paciente não pode ser excluído, pois possui ") + partes.join(QStringLiteral(" e ")) +
           QLatin1Char('.');
}

QString ExcluiPaciente(Transacao& tr, const QString& cliOrigem, const QString& codigo, const QString& nome)
{
    try {
        tr.inicia();
        const QString motivo = MotivoNaoExcluir(tr, cliOrigem, codigo);
        if (!motivo.isEmpty()) {
            tr.rollback();
            return motivo;
        }
        tr.executa(QStringLiteral("delete from PESSOAS where Cli_origem=") + SqlTexto(cliOrigem) +
                   QStringLiteral(" and codigo=") + SqlInteiro(codigo));
        RegistraLog(tr, QStringLiteral("Pessoas"), QStringLiteral("D"), descricaoLog(codigo, nome));
        tr.commit();
    } catch (...) {
        tr.rollback();
        throw;
    }
    return {};
}

} // namespace vx
