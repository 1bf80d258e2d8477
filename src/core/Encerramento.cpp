#include "core/Encerramento.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <ibase.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vx {

namespace {

int g_fds[2] = {-1, -1};
std::atomic<int> g_sinal{0};
std::atomic<int> g_recebidos{0};
std::function<void(int)> g_aoSinal;

void escreveSinal(int sinal)
{
    const unsigned char b = static_cast<unsigned char>(sinal);
    const int salvo = errno;
    [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &b, 1);
    errno = salvo;
}

void tratador(int sinal)
{
    // A second signal while the first is being handled: the default action.
    if (g_recebidos.fetch_add(1) != 0) {
        std::signal(sinal, SIG_DFL);
        std::raise(sinal);
        return;
    }
    int esperado = 0;
    g_sinal.compare_exchange_strong(esperado, sinal);
    escreveSinal(sinal);
}

// The client library shuts its engine down on SIGINT/SIGTERM unless a callback refuses it; the
// close then goes through the event loop like any other.
int recusaDesligamento(const int motivo, const int, void*)
{
    if (motivo != fb_shutrsn_signal)
        return 0;
    int esperado = 0;
    if (g_sinal.compare_exchange_strong(esperado, SIGTERM))
        escreveSinal(SIGTERM);
    return 1;
}

void instalaTratador(int sinal)
{
    struct sigaction sa {};
    sa.sa_handler = tratador;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(sinal, &sa, nullptr);
}

bool criaCanal()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_fds) != 0)
        return false;
    auto* n = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(n, &QSocketNotifier::activated, n, [] {
        unsigned char b = 0;
        bool leu = false;
        while (::read(g_fds[1], &b, 1) == 1)
            leu = true;
        if (leu && g_aoSinal)
            g_aoSinal(g_sinal.load() ? g_sinal.load() : int(b));
    });
    ISC_STATUS_ARRAY st;
    fb_shutdown_callback(st, recusaDesligamento, fb_shut_confirmation, nullptr);
    return true;
}

} // namespace

void InstalaEncerramentoPorSinal(std::function<void(int)> aoSinal)
{
    g_aoSinal = aoSinal ? std::move(aoSinal) : std::function<void(int)>(PedeEncerramento);
    if (g_fds[0] < 0 && !criaCanal())
        return;
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        instalaTratador(s);
}

void PedeEncerramento(int sinal)
{
    int esperado = 0;
    g_sinal.compare_exchange_strong(esperado, sinal);
    QCoreApplication::exit(StatusDeEncerramento());
}

int SinalDeEncerramento()
{
    return g_sinal.load();
}

int StatusDeEncerramento()
{
    const int s = g_sinal.load();
    return s ? 128 + s : 0;
}

} // namespace vx
