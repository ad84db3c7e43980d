// The system's print queue on Linux and the like: a raw job through CUPS.
#include <cups/cups.h>

#include <chrono>
#include <thread>

#include "plateforme/spouleur.h"

namespace dotavob {
namespace {

class SpouleurCups : public SpouleurBrut {
public:
    SpouleurCups(int attente, std::function<bool()> patiente) : attente_(attente), patiente_(std::move(patiente)) {}

    bool ouvre(const std::string& imprimante, const std::string& nomDocument) override {
        imprimante_ = imprimante;
        erreur_.clear();
        if (cups_dest_t* file = cupsGetNamedDest(CUPS_HTTP_DEFAULT, imprimante.c_str(), nullptr)) {
            cupsFreeDests(1, file);
        } else {
            erreur_ = cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE
                          ? "le spouleur d'impression (CUPS) ne répond pas"
                          : "la file d'impression « " + imprimante + " » est introuvable";
            return false;
        }
        job_ = cupsCreateJob(CUPS_HTTP_DEFAULT, imprimante.c_str(), nomDocument.c_str(), 0, nullptr);
        if (job_ == 0) return echoue();
        // Raw: the embosser gets the bytes as they are, no driver formats them.
        if (cupsStartDocument(CUPS_HTTP_DEFAULT, imprimante.c_str(), job_, nomDocument.c_str(), CUPS_FORMAT_RAW, 1) !=
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
        if (octets.empty()) return true;
        if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, octets.data(), octets.size()) != HTTP_STATUS_CONTINUE)
            return echoue();
        return true;
    }
    bool ferme() override {
        documentOuvert_ = false;
        if (cupsFinishDocument(CUPS_HTTP_DEFAULT, imprimante_.c_str()) != IPP_STATUS_OK) return echoue();
        return attendLaFin();
    }
    void annule() override {
        // The request streaming the document ends first; the job is then cancelled.
        if (documentOuvert_) cupsFinishDocument(CUPS_HTTP_DEFAULT, imprimante_.c_str());
        documentOuvert_ = false;
        if (job_ != 0) cupsCancelJob2(CUPS_HTTP_DEFAULT, imprimante_.c_str(), job_, 0);
    }
    bool abandonne() const override { return abandonne_; }
    std::string erreur() const override { return erreur_; }

private:
    bool echoue() {
        const char* detail = cupsLastErrorString();
        switch (cupsLastError()) {
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
            const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &travaux, imprimante_.c_str(), 0, CUPS_WHICHJOBS_ALL);
            ipp_jstate_t etat = IPP_JSTATE_COMPLETED;
            for (int i = 0; i < n; ++i)
                if (travaux[i].id == job_) etat = travaux[i].state;
            cupsFreeJobs(n, travaux);
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
};

}  // namespace

std::unique_ptr<SpouleurBrut> spouleurSysteme(int attente, std::function<bool()> patiente) {
    return std::make_unique<SpouleurCups>(attente, std::move(patiente));
}

}  // namespace dotavob
