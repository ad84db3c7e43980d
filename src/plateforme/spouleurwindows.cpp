// The system's print queue on Windows: a raw job through the spooler, one
// spooler page per Braille page.
#include <windows.h>
#include <winspool.h>

#include <string>

#include "plateforme/spouleur.h"

namespace dotavob {
namespace {

std::wstring large(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring r(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), r.data(), n);
    return r;
}

class SpouleurWindows : public SpouleurBrut {
public:
    bool ouvre(const std::string& imprimante, const std::string& nomDocument) override {
        erreur_.clear();
        std::wstring nom = large(imprimante), document = large(nomDocument);
        std::wstring type = L"RAW";
        if (!OpenPrinterW(nom.data(), &imprimante_, nullptr)) return echoue("ouverture de « " + imprimante + " »");
        DOC_INFO_1W info{document.data(), nullptr, type.data()};
        if (StartDocPrinterW(imprimante_, 1, reinterpret_cast<LPBYTE>(&info)) == 0) {
            echoue("début du travail");
            ClosePrinter(imprimante_);
            imprimante_ = nullptr;
            return false;
        }
        return true;
    }
    bool debutPage() override { return StartPagePrinter(imprimante_) || echoue("début de page"); }
    bool ecrit(std::string_view octets) override {
        if (octets.empty()) return true;
        DWORD ecrits = 0;
        if (!WritePrinter(imprimante_, const_cast<char*>(octets.data()), static_cast<DWORD>(octets.size()), &ecrits) ||
            ecrits != octets.size())
            return echoue("écriture");
        return true;
    }
    bool finPage() override { return EndPagePrinter(imprimante_) || echoue("fin de page"); }
    bool ferme() override {
        if (!imprimante_) return false;
        const bool fin = EndDocPrinter(imprimante_);
        const bool ferme = ClosePrinter(imprimante_);
        imprimante_ = nullptr;
        return (fin && ferme) || echoue("fin du travail");
    }
    void annule() override {
        if (!imprimante_) return;
        AbortPrinter(imprimante_);
        ClosePrinter(imprimante_);
        imprimante_ = nullptr;
    }
    std::string erreur() const override { return erreur_; }

private:
    bool echoue(const std::string& etape) {
        erreur_ = etape + " (erreur " + std::to_string(GetLastError()) + ")";
        return false;
    }
    HANDLE imprimante_ = nullptr;
    std::string erreur_;
};

}  // namespace

// The Windows spooler takes the job at once: there is nothing to wait for.
std::unique_ptr<SpouleurBrut> spouleurSysteme(int, std::function<bool()>) { return std::make_unique<SpouleurWindows>(); }

}  // namespace dotavob
