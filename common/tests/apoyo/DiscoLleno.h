#pragma once

#include <sys/resource.h>

#include <csignal>

namespace orvo::prueba {

// Un disco que se llena: los archivos del proceso no pueden pasar de 'bytes' y la escritura que
// se pasa falla (EFBIG; sin la señal SIGXFSZ, que acabaría con la prueba).
class DiscoLleno {
  public:
    explicit DiscoLleno(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &antes_);
        rlimit limite = antes_;
        limite.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limite);
        senal_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~DiscoLleno() {
        setrlimit(RLIMIT_FSIZE, &antes_);
        std::signal(SIGXFSZ, senal_);
    }
    DiscoLleno(const DiscoLleno&) = delete;
    DiscoLleno& operator=(const DiscoLleno&) = delete;

  private:
    rlimit antes_{};
    void (*senal_)(int) = nullptr;
};

}  // namespace orvo::prueba
