// The system's print queue on Linux and the like: a raw job through CUPS.
// The library is loaded the first time a job is sent: every start of the
// command line and of the editor would otherwise link it and the thirty
// libraries behind it, for a few embossings a day.
#include <cups/cups.h>
#include <dlfcn.h>

#include <chrono>
#include <thread>
#include <type_traits>

#include "plateforme/spouleur.h"

namespace dotavob {
namespace {

// The functions of the library that a raw job uses, once loaded.
struct Cups {
    decltype(&::cupsGetNamedDest) getNamedDest;
    decltype(&::cupsFreeDests) freeDests;
    decltype(&::cupsLastError) lastError;
    decltype(&::cupsLastErrorString) lastErrorString;
    decltype(&::cupsCreateJob) createJob;
    decltype(&::cupsStartDocument) startDocument;
    decltype(&::cupsWriteRequestData) writeRequestData;
    decltype(&::cupsFinishDocument) finishDocument;
    decltype(&::cupsCancelJob2) cancelJob2;
    decltype(&::cupsGetJobs2) getJobs2;
    decltype(&::cupsFreeJobs) freeJobs;
};

// The library, or null and why not; loaded once, kept for the program's life.
const Cups* chargeCups(std::string& erreur) {
    static std::string pourquoi;
    static const Cups* const cups = []() -> const Cups* {
        void* b = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!b) {
            pourquoi = "la bibliothèque d'impression libcups.so.2 est introuvable (paquet libcups2)";
            return nullptr;
        }
        static Cups c;
        bool complet = true;
        auto lie = [&](auto& f, const char* nom) {
            f = reinterpret_cast<std::remove_reference_t<decltype(f)>>(::dlsym(b, nom));
            complet = complet && f != nullptr;
        };
        lie(c.getNamedDest, "cupsGetNamedDest");
        lie(c.freeDests, "cupsFreeDests");
        lie(c.lastError, "cupsLastError");
        lie(c.lastErrorString, "cupsLastErrorString");
        lie(c.createJob, "cupsCreateJob");
        lie(c.startDocument, "cupsStartDocument");
        lie(c.writeRequestData, "cupsWriteRequestData");
        lie(c.finishDocument, "cupsFinishDocument");
        lie(c.cancelJob2, "cupsCancelJob2");
        lie(c.getJobs2, "cupsGetJobs2");
        lie(c.freeJobs, "cupsFreeJobs");
        if (!complet) {
            pourquoi = "la bibliothèque d'impression libcups.so.2 est incomplète ou trop ancienne";
            return nullptr;
        }
        return &c;
    }();
    if (!cups) erreur = pourquoi;
    return cups;
}

class SpouleurCups : public SpouleurBrut {
public:
    SpouleurCups(int attente, std::function<bool()> patiente) : attente_(attente), patiente_(std::move(patiente)) {}

    bool ouvre(const std::string& imprimante, const std::string& nomDocument) override {
        imprimante_ = imprimante;
        erreur_.clear();
        cups_ = chargeCups(erreur_);
        if (!cups_) return false;
        if (cups_dest_t* file = cups_->getNamedDest(CUPS_HTTP_DEFAULT, imprimante.c_str(), nullptr)) {
            cups_->freeDests(1, file);
        } else {
            erreur_ = cups_->lastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE
                          ? "le spouleur d'impression (CUPS) ne répond pas"
                          : "la file d'impression « " + imprimante + " » est introuvable";
            return false;
        }
        job_ = cups_->createJob(CUPS_HTTP_DEFAULT, imprimante.c_str(), nomDocument.c_str(), 0, nullptr);
        if (job_ == 0) return echoue();
        // Raw: the embosser gets the bytes as they are, no driver formats them.
        if (cups_->startDocument(CUPS_HTTP_DEFAULT, imprimante.c_str(), job_, nomDocument.c_str(), CUPS_FORMAT_RAW, 1) !=
            HTTP_STATUS_CONTINUE) {
            echoue();
            annule();
            return false;
        }
        documentOuvert_ = true;
        return true;
    }
    // A raw job has no page boundaries of its own: pages follow by their lines.
    bool debutPage() override { return true; }
    bool finPage() override { return true; }
    bool ecrit(std::string_view octets) override {
        if (!cups_) return false;
        if (octets.empty()) return true;
        if (cups_->writeRequestData(CUPS_HTTP_DEFAULT, octets.data(), octets.size()) != HTTP_STATUS_CONTINUE)
            return echoue();
        return true;
    }
    bool ferme() override {
        if (!cups_) return false;
        documentOuvert_ = false;
        if (cups_->finishDocument(CUPS_HTTP_DEFAULT, imprimante_.c_str()) != IPP_STATUS_OK) return echoue();
        return attendLaFin();
    }
    void annule() override {
        // The request streaming the document ends first; the job is then cancelled.
        if (documentOuvert_) cups_->finishDocument(CUPS_HTTP_DEFAULT, imprimante_.c_str());
        documentOuvert_ = false;
        if (job_ != 0) cups_->cancelJob2(CUPS_HTTP_DEFAULT, imprimante_.c_str(), job_, 0);
    }
    bool abandonne() const override { return abandonne_; }
    std::string erreur() const override { return erreur_; }

private:
    bool echoue() {
        const char* detail = cups_->lastErrorString();
        switch (cups_->lastError()) {
            case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
                erreur_ = "le spouleur d'impression (CUPS) ne répond pas";
                break;
            case IPP_STATUS_ERROR_NOT_AUTHORIZED:
            case IPP_STATUS_ERROR_FORBIDDEN:
                erreur_ = "l'impression sur « " + imprimante_ + " » n'est pas autorisée";
                break;
            case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
                erreur_ = "la file « " + imprimante_ + " » n'accepte pas de travaux";
                break;
            default:
                erreur_ = std::string("erreur du spouleur d'impression (") + (detail ? detail : "?") + ")";
        }
        return false;
    }

    // The queue took the job; the device may still refuse it (a socket
    // queue retries a device that does not answer, the job "processing" all
    // along). Done once the job is completed; a job not completed after
    // `attente_` seconds is cancelled and said, so that nothing is embossed
    // later by surprise. A server that keeps no history forgets completed
    // jobs: a job no longer listed is done.
    bool attendLaFin() {
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(attente_);
        for (;;) {
            cups_job_t* travaux = nullptr;
            const int n = cups_->getJobs2(CUPS_HTTP_DEFAULT, &travaux, imprimante_.c_str(), 0, CUPS_WHICHJOBS_ALL);
            ipp_jstate_t etat = IPP_JSTATE_COMPLETED;
            for (int i = 0; i < n; ++i)
                if (travaux[i].id == job_) etat = travaux[i].state;
            cups_->freeJobs(n, travaux);
            if (etat == IPP_JSTATE_COMPLETED) return true;
            if (etat == IPP_JSTATE_ABORTED || etat == IPP_JSTATE_CANCELED || etat == IPP_JSTATE_STOPPED) {
                erreur_ = "le travail a été interrompu dans la file « " + imprimante_ + " »";
                return false;
            }
            if (std::chrono::steady_clock::now() >= limite) {
                annule();
                erreur_ = "l'embosseuse de la file « " + imprimante_ + " » n'a pas reçu le travail en " +
                          std::to_string(attente_) + " s ; il a été annulé";
                return false;
            }
            if (patiente_ && !patiente_()) {
                annule();
                abandonne_ = true;
                erreur_ = "le travail a été retiré de la file « " + imprimante_ + " »";
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }

    int attente_;
    std::function<bool()> patiente_;
    bool abandonne_ = false;
    std::string imprimante_, erreur_;
    int job_ = 0;
    bool documentOuvert_ = false;
    const Cups* cups_ = nullptr;
};

}  // namespace

std::unique_ptr<SpouleurBrut> spouleurSysteme(int attente, std::function<bool()> patiente) {
    return std::make_unique<SpouleurCups>(attente, std::move(patiente));
}

}  // namespace dotavob
