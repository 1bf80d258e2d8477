#include "core/widgets/TPersonEdit.h"
#include "core/Mensagens.h"
#include "core/Texto1252.h"
#include "core/UFunc.h"

#include <QKeyEvent>
#include <QLayout>
#include <QRegularExpression>

namespace vx {

ErroCampo::ErroCampo(const QString& texto)
    : std::runtime_error(texto.toStdString()), m_texto(texto)
{
}

namespace {
// Creation order of the fields: the component order of their screen.
quint64 proximaOrdem()
{
    static quint64 n = 0;
    return ++n;
}

const char* const kOrdem = "vxOrdemComponente";

// The one field painted with the focus colour.
QPointer<TPersonEdit>& campoDestacado()
{
    static QPointer<TPersonEdit> c;
    return c;
}

QString mascaraQt(TPersonEdit::Tipo t)
{
    switch (t) {
    case TPersonEdit::peData: return QStringLiteral("99/99/9999;_");
    case TPersonEdit::peDataHora: return QStringLiteral("99/99/9999 99:99;_");
    case TPersonEdit::peCpf: return QStringLiteral("999.999.999-99;_");
    case TPersonEdit::peCnpj: return QStringLiteral(">NN.NNN.NNN/NNNN-99;_");
    default: return QString();
    }
}

// Length of the complete form of masked types.
int tamanhoCompleto(TPersonEdit::Tipo t)
{
    switch (t) {
    case TPersonEdit::peData: return 10;
    case TPersonEdit::peDataHora: return 16;
    case TPersonEdit::peCpf: return 14;
    case TPersonEdit::peCnpj: return 18;
    default: return 0;
    }
}

bool digito(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Float text as typed: optional sign, digits, "." only as thousand grouping, one ",".
std::optional<Decimal> leFloat(const QString& texto)
{
    static const QRegularExpression re(
        QStringLiteral(R"(^[+-]?(\d+|\d{1,3}(\.\d{3})+)?(,\d*)?$)"));
    const QString t = texto.trimmed();
    if (t.isEmpty() || !re.match(t).hasMatch() || !std::any_of(t.begin(), t.end(), digito))
        return std::nullopt;
    try {
        return DecimalTexto(t);
    } catch (const ErroValor&) {
        return std::nullopt;
    }
}

std::optional<qint64> leInteiro(const QString& texto)
{
    static const QRegularExpression re(QStringLiteral(R"(^[+-]?\d{1,18}$)"));
    const QString t = texto.trimmed();
    if (!re.match(t).hasMatch())
        return std::nullopt;
    return t.toLongLong();
}

// "dd/mm/yyyy" or "dd/mm/yyyy hh:mm" from the masked text (blanks inside the groups ignored).
bool leDataMascarada(const QString& texto, bool comHora, QDateTime& r)
{
    QString t = texto;
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(\d[\d ]?|[\d ]\d)\s*/\s*(\d[\d ]?|[\d ]\d)\s*/\s*(\d[\d ]*)\s*(?:\s(\s*\d[\d ]?|[\d ]\d)\s*:\s*(\d[\d ]?|[\d ]\d)\s*)?$)"));
    const auto m = re.match(t);
    if (!m.hasMatch())
        return false;
    const auto num = [&](int i) { QString s = m.captured(i); s.remove(QLatin1Char(' ')); return s; };
    const QString anoTxt = num(3);
    if (anoTxt.size() == 3 || anoTxt.size() > 4)
        return false;
    const int ano = AnoCompleto(anoTxt.toInt(), int(anoTxt.size()));
    const QDate d(ano, num(2).toInt(), num(1).toInt());
    if (!d.isValid())
        return false;
    QTime h(0, 0);
    if (comHora) {
        if (m.capturedLength(4) == 0)
            return false;
        h = QTime(num(4).toInt(), num(5).toInt());
        if (!h.isValid())
            return false;
    } else if (m.capturedLength(4) > 0) {
        return false;
    }
    r = QDateTime(d, h);
    return true;
}
} // namespace

// ---- construction ----

TPersonEdit::TPersonEdit(QWidget* parent)
    : QLineEdit(parent)
{
    inicializa(peTexto);
}

TPersonEdit::TPersonEdit(Tipo tipo, const QString& rotulo, QWidget* parent)
    : QLineEdit(parent)
{
    inicializa(tipo);
    setRotulo(rotulo);
}

TPersonEdit::~TPersonEdit()
{
    if (campoDestacado() == this)
        campoDestacado() = nullptr;
    delete m_label.data();
}

void TPersonEdit::inicializa(Tipo tipo)
{
    setProperty(kOrdem, proximaOrdem());
    m_fundoSalvo = palette().color(QPalette::Base);
    m_label = new QLabel(parentWidget());
    m_label->setBuddy(this);
    m_label->setVisible(false);
    connect(this, &QLineEdit::textEdited, this, &TPersonEdit::aoEditar);
    setTipo(tipo);
}

void TPersonEdit::setTipo(Tipo t)
{
    m_tipo = t;
    m_ajustando = true;
    const QString mascara = mascaraQt(t);
    QLineEdit::setInputMask(mascara);
    if (mascara.isEmpty())
        QLineEdit::setMaxLength(m_maxLen > 0 ? m_maxLen : 32767);
    if (t == peFloat || t == peInteiro)
        QLineEdit::setText(textoVazio(t));
    m_ajustando = false;
}

void TPersonEdit::setCaixa(Caixa c)
{
    m_caixa = c;
    if (c != caixaNormal && !mascarado())
        setText(text());
}

bool TPersonEdit::mascarado() const
{
    return m_tipo == peData || m_tipo == peDataHora || m_tipo == peCpf || m_tipo == peCnpj || !m_vazioProprio.isEmpty();
}

void TPersonEdit::setMascara(const QString& mascaraQt, const QString& vazio)
{
    m_tipo = peTexto;
    m_vazioProprio = vazio;
    m_ajustando = true;
    QLineEdit::setInputMask(mascaraQt);
    m_ajustando = false;
}

QString TPersonEdit::vazioAtual() const
{
    return m_vazioProprio.isEmpty() ? textoVazio(m_tipo) : m_vazioProprio;
}

QString TPersonEdit::textoVazio(Tipo t)
{
    switch (t) {
    case peData: return QStringLiteral("  /  /    ");
    case peDataHora: return QStringLiteral("  /  /       :  ");
    case peCpf: return QStringLiteral("   .   .   -  ");
    case peCnpj: return QStringLiteral("  .   .   /    -  ");
    case peFloat: return QStringLiteral("0,00");
    case peInteiro: return QStringLiteral("0");
    case peTexto: break;
    }
    return QString();
}

// ---- text ----

QString TPersonEdit::text() const
{
    if (!mascarado())
        return QLineEdit::text();
    // Qt drops blank positions from text(); the display text keeps them as the blank character.
    QString t = QLineEdit::displayText();
    t.replace(QLatin1Char('_'), QLatin1Char(' '));
    return t;
}

void TPersonEdit::setText(const QString& valor)
{
    m_ajustando = true;
    if (mascarado()) {
        // Qt skips blanks when a masked text is set: put each character into its own position.
        const QString vazio = vazioAtual();
        QString t = valor.left(int(vazio.size()));
        bool posicional = true;
        for (int i = 0; i < t.size(); ++i)
            if (vazio[i] != QLatin1Char(' ') && t[i] != vazio[i])
                posicional = false;
        if (!posicional) {
            // Other forms: a date such as "5/3/2015", or bare digits of a CPF/CNPJ.
            QDateTime dt;
            if ((m_tipo == peData || m_tipo == peDataHora) && leDataMascarada(valor, m_tipo == peDataHora, dt)) {
                t = dt.toString(m_tipo == peData ? QStringLiteral("dd/MM/yyyy") : QStringLiteral("dd/MM/yyyy hh:mm"));
            } else {
                QString nus = valor;
                nus.remove(QRegularExpression(QStringLiteral("[./:-]")));
                t = vazio;
                for (int i = 0, j = 0; i < t.size() && j < nus.size(); ++i)
                    if (vazio[i] == QLatin1Char(' '))
                        t[i] = nus[j++];
            }
        }
        QLineEdit::clear();
        for (int i = 0; i < t.size(); ++i) {
            if (vazio[i] != QLatin1Char(' ') || t[i] == QLatin1Char(' ') || t[i] == QLatin1Char('_'))
                continue;
            QLineEdit::setSelection(i, 1);
            QLineEdit::insert(QString(t[i]));
        }
        QLineEdit::setCursorPosition(0);
    } else {
        QString t = ajustaPara1252(valor);
        if (m_caixa == caixaMaiuscula)
            t = t.toUpper();
        else if (m_caixa == caixaMinuscula)
            t = t.toLower();
        // A loaded value longer than the typing limit is kept whole.
        const int limite = m_maxLen > 0 ? m_maxLen : 32767;
        QLineEdit::setMaxLength(std::max<int>(limite, int(t.size())));
        QLineEdit::setText(t);
    }
    m_ajustando = false;
}

void TPersonEdit::clear()
{
    m_ajustando = true;
    QLineEdit::clear();
    if (m_tipo == peFloat || m_tipo == peInteiro)
        QLineEdit::setText(textoVazio(m_tipo));
    if (!mascarado())
        QLineEdit::setMaxLength(m_maxLen > 0 ? m_maxLen : 32767);
    m_ajustando = false;
}

bool TPersonEdit::vazio() const
{
    const QString t = text();
    return t.isEmpty() || t == vazioAtual();
}

void TPersonEdit::setMaxLength(int n)
{
    m_maxLen = std::max(0, n);
    if (mascarado())
        return;
    const int limite = m_maxLen > 0 ? m_maxLen : 32767;
    // Never cut what is already there.
    QLineEdit::setMaxLength(std::max<int>(limite, int(QLineEdit::text().size())));
}

void TPersonEdit::aoEditar(const QString& t)
{
    if (m_ajustando || mascarado())
        return;
    QString n = ajustaPara1252(t);
    if (m_caixa == caixaMaiuscula)
        n = n.toUpper();
    else if (m_caixa == caixaMinuscula)
        n = n.toLower();
    if (n != t) {
        const int cursor = cursorPosition();
        m_ajustando = true;
        QLineEdit::setText(n);
        setCursorPosition(cursor);
        m_ajustando = false;
    }
    // Back to the typing limit once the text fits it again.
    if (m_maxLen > 0 && n.size() <= m_maxLen && QLineEdit::maxLength() != m_maxLen)
        QLineEdit::setMaxLength(m_maxLen);
}

// ---- typed values ----

std::optional<Decimal> TPersonEdit::decimal() const
{
    return leFloat(text());
}

void TPersonEdit::setDecimal(const Decimal& d)
{
    setText(FormataValor(d, QStringLiteral("###########0.00########")));
}

std::optional<qint64> TPersonEdit::inteiro() const
{
    return leInteiro(text());
}

QDate TPersonEdit::data() const
{
    return dataHora().date();
}

QDateTime TPersonEdit::dataHora() const
{
    QDateTime r;
    if (m_tipo == peData || m_tipo == peDataHora) {
        if (!vazio() && leDataMascarada(text(), m_tipo == peDataHora, r))
            return r;
    }
    return QDateTime();
}

// ---- colours ----

QColor TPersonEdit::corFundo() const
{
    return palette().color(QPalette::Base);
}

void TPersonEdit::pintaFundo(const QColor& c)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, c);
    setPalette(p);
}

void TPersonEdit::marcaErro(const QString& texto)
{
    m_emErro = true;
    pintaFundo(m_corErro);
    if (isVisible() && isEnabled())
        setFocus(Qt::OtherFocusReason);
    throw ErroCampo(texto);
}

void TPersonEdit::limpaErro()
{
    m_emErro = false;
    pintaFundo(m_destacado ? m_corDestaque : m_fundoSalvo);
}

TPersonEdit* TPersonEdit::destacado()
{
    return campoDestacado().data();
}

void TPersonEdit::destaca(bool sim)
{
    QPointer<TPersonEdit>& atual = campoDestacado();
    if (sim) {
        if (atual && atual != this)
            atual->destaca(false);
        atual = this;
        if (!m_destacado && !m_emErro)
            m_fundoSalvo = corFundo();
        m_destacado = true;
        if (!m_emErro)
            pintaFundo(m_corDestaque);
        return;
    }
    if (atual == this)
        atual = nullptr;
    if (m_destacado && !m_emErro)
        pintaFundo(m_fundoSalvo);
    m_destacado = false;
}

void TPersonEdit::focusInEvent(QFocusEvent* ev)
{
    destaca(true);
    QLineEdit::focusInEvent(ev);
}

void TPersonEdit::focusOutEvent(QFocusEvent* ev)
{
    QLineEdit::focusOutEvent(ev);
    // A popup (context menu) leaves the focus where it is; any other window takes it away, so the
    // focus colour goes with it and comes back with the window.
    if (ev->reason() != Qt::PopupFocusReason)
        destaca(false);
    // Switching windows (message boxes, other screens) is not leaving the field.
    if (ev->reason() == Qt::ActiveWindowFocusReason || ev->reason() == Qt::PopupFocusReason || m_validando)
        return;
    m_emErro = false;
    pintaFundo(m_fundoSalvo);
    if (!m_validar) {
        emit saiu();
        return;
    }
    m_validando = true;
    bool ok = true;
    try {
        valida();
    } catch (const ErroCampo& e) {
        ok = false;
        MostraErro(e.texto());
    }
    m_validando = false;
    if (ok)
        emit saiu();
}

// ---- validation ----

bool TPersonEdit::confere(const QString& t, QString* normalizado, QString* erro) const
{
    QString n = t;
    QString e;
    switch (m_tipo) {
    case peData:
    case peDataHora: {
        if (t == textoVazio(m_tipo))
            break;
        QDateTime dt;
        if (!leDataMascarada(t, m_tipo == peDataHora, dt))
            e = m_tipo == peData ? QStringLiteral("Valor Inválido, insira uma Data Válida!")
                                 : QStringLiteral("Valor Inválido, insira uma Data e Hora Válida!");
        else
            n = dt.toString(m_tipo == peData ? QStringLiteral("dd/MM/yyyy") : QStringLiteral("dd/MM/yyyy hh:mm"));
        break;
    }
    case peFloat: {
        const auto d = leFloat(t.trimmed().isEmpty() ? QStringLiteral("0") : t);
        if (!d)
            e = QStringLiteral("Valor Inválido, insira um valor de Ponto Flutuante!");
        else
            n = FormataValor(*d, QStringLiteral("###########0.00########"));
        break;
    }
    case peInteiro:
        if (t.trimmed().isEmpty())
            n = QStringLiteral("0");
        else if (!leInteiro(t))
            e = QStringLiteral("Valor Inválido, insira um valor Inteiro!");
        break;
    case peTexto:
        if (m_vazioProprio.isEmpty())
            n = Capitaliza(t);
        break;
    case peCpf:
    case peCnpj: {
        if (t == textoVazio(m_tipo))
            break;
        QString z = t;
        z.replace(QLatin1Char(' '), QLatin1Char('0'));
        const bool ok = m_tipo == peCpf ? CpfValido(z) : CnpjValido(z);
        // The CNPJ is written back zero-filled even when invalid, the CPF only when valid.
        if (ok || m_tipo == peCnpj)
            n = z;
        if (!ok)
            e = m_tipo == peCpf ? QStringLiteral("O valor do CPF não é um valor Válido!")
                                : QStringLiteral("O valor do CNPJ não é um valor Válido!");
        break;
    }
    }
    if (normalizado)
        *normalizado = n;
    if (erro)
        *erro = e;
    return e.isEmpty();
}

bool TPersonEdit::textoValido() const
{
    return confere(text(), nullptr, nullptr);
}

void TPersonEdit::valida()
{
    const QString t = text();
    QString n, e;
    const bool ok = confere(t, &n, &e);
    if (n != t) {
        const int cursor = cursorPosition();
        setText(n);
        if (m_tipo == peTexto)
            setCursorPosition(cursor);
    }
    if (!ok)
        marcaErro(e);
}

void TPersonEdit::verificaRequerido()
{
    if (!m_requerido)
        return;
    const QString t = text();
    if (t.isEmpty())
        marcaErro(QStringLiteral("O valor do campo \"%1\" não pode estar em Branco!").arg(rotulo()));
    const int completo = tamanhoCompleto(m_tipo);
    if (completo > 0 && t.trimmed().size() < completo)
        marcaErro(QStringLiteral("O campo \"%1\" deve ser totalmente informado!").arg(rotulo()));
}

QString TPersonEdit::Capitaliza(const QString& texto)
{
    QString r = texto;
    const int n = int(r.size());
    for (int i = n - 1; i >= 0; --i) {
        if (i == 0) {
            r[0] = r[0].toUpper();
        } else if (r[i - 1] == QLatin1Char(' ')) {
            const bool quatro = i + 3 < n && r[i + 1] != QLatin1Char(' ') && r[i + 2] != QLatin1Char(' ') &&
                                r[i + 3] != QLatin1Char(' ');
            if (quatro && r.mid(i, 3) != QLatin1String("par"))
                r[i] = r[i].toUpper();
        }
    }
    return r;
}

bool TPersonEdit::CpfValido(const QString& cpf)
{
    return vx::CpfValido(cpf);
}

bool TPersonEdit::CnpjValido(const QString& cnpj)
{
    QString d;
    for (QChar c : cnpj) {
        const QChar u = c.toUpper();
        if (digito(u) || (u >= QLatin1Char('A') && u <= QLatin1Char('Z')))
            d += u;
        else if (c != QLatin1Char('.') && c != QLatin1Char('/') && c != QLatin1Char('-'))
            return false;
    }
    if (d.size() != 14 || !digito(d[12]) || !digito(d[13]) || d.count(d[0]) == 14)
        return false;
    const auto dv = [&](int n) {
        // Weights run 2..9 from the right, restarting after 9.
        int soma = 0, peso = 2;
        for (int i = n - 1; i >= 0; --i) {
            soma += (d[i].unicode() - '0') * peso;
            peso = peso == 9 ? 2 : peso + 1;
        }
        const int r = 11 - soma % 11;
        return r >= 10 ? 0 : r;
    };
    return dv(12) == d[12].unicode() - '0' && dv(13) == d[13].unicode() - '0';
}

// ---- keys ----

void TPersonEdit::keyPressEvent(QKeyEvent* ev)
{
    const QString t = ev->text();
    if (t.size() == 1 && t[0].isPrint() && !(ev->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QChar c = t[0];
        if (m_tipo == peInteiro && !digito(c) && c != QLatin1Char('-') && c != QLatin1Char('+'))
            return;
        if (m_tipo == peFloat && !digito(c) && c != QLatin1Char('-') && c != QLatin1Char('+') &&
            c != QLatin1Char(',') && c != QLatin1Char('.'))
            return;
    }
    QLineEdit::keyPressEvent(ev);
}

void TPersonEdit::keyReleaseEvent(QKeyEvent* ev)
{
    QLineEdit::keyReleaseEvent(ev);
    if (ev->key() == Qt::Key_Space && m_validar && m_tipo == peTexto) {
        const QString t = text();
        const QString c = Capitaliza(t);
        if (c != t) {
            const int cursor = cursorPosition();
            setText(c);
            setCursorPosition(cursor);
        }
    }
}

// ---- caption label ----

QString TPersonEdit::rotulo() const
{
    if (!m_label)
        return QString();
    QString t = m_label->text();
    // The accelerator marker is not part of the name.
    t.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    t.remove(QLatin1Char('&'));
    t.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return t;
}

void TPersonEdit::setRotulo(const QString& texto)
{
    if (!m_label)
        return;
    m_label->setText(texto);
    m_label->adjustSize();
    posicionaLabel();
}

void TPersonEdit::setLabelPosition(LabelPosition p)
{
    m_labelPos = p;
    posicionaLabel();
}

void TPersonEdit::setLabelSpacing(int px)
{
    m_labelSpacing = px;
    posicionaLabel();
}

void TPersonEdit::setLabeled(bool v)
{
    m_labeled = v;
    if (m_label)
        m_label->setVisible(v && isVisible());
}

void TPersonEdit::posicionaLabel()
{
    if (!m_label || !m_label->parentWidget())
        return;
    // A label placed in a layout by the screen stays where the layout puts it.
    if (QLayout* l = m_label->parentWidget()->layout(); l && l->indexOf(m_label) >= 0)
        return;
    m_label->adjustSize();
    const QRect g = geometry();
    const QSize s = m_label->size();
    QPoint p;
    switch (m_labelPos) {
    case lpAbove: p = QPoint(g.left(), g.top() - s.height() - m_labelSpacing); break;
    case lpBelow: p = QPoint(g.left(), g.bottom() + 1 + m_labelSpacing); break;
    case lpLeft: p = QPoint(g.left() - s.width() - m_labelSpacing, g.top() + (g.height() - s.height()) / 2); break;
    case lpRight: p = QPoint(g.right() + 1 + m_labelSpacing, g.top() + (g.height() - s.height()) / 2); break;
    }
    m_label->move(p);
}

void TPersonEdit::moveEvent(QMoveEvent* ev)
{
    QLineEdit::moveEvent(ev);
    posicionaLabel();
}

void TPersonEdit::resizeEvent(QResizeEvent* ev)
{
    QLineEdit::resizeEvent(ev);
    posicionaLabel();
}

void TPersonEdit::showEvent(QShowEvent* ev)
{
    QLineEdit::showEvent(ev);
    if (m_label && m_label->parentWidget()) {
        posicionaLabel();
        m_label->setVisible(m_labeled);
    }
}

void TPersonEdit::hideEvent(QHideEvent* ev)
{
    QLineEdit::hideEvent(ev);
    if (m_label && !isVisible())
        m_label->setVisible(false);
}

void TPersonEdit::changeEvent(QEvent* ev)
{
    QLineEdit::changeEvent(ev);
    if (ev->type() == QEvent::ParentChange && m_label && m_label->parentWidget() != parentWidget()) {
        m_label->setParent(parentWidget());
        posicionaLabel();
        if (isVisible() && m_labeled)
            m_label->show();
    } else if (ev->type() == QEvent::EnabledChange && m_label) {
        m_label->setEnabled(isEnabled());
    }
}

} // namespace vx
