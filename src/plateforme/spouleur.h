// The raw spoolers the embossing sends its jobs to: the system's print queue
// (CUPS on Linux, the Windows spooler) and a file, for embossers reached
// otherwise and to see exactly what is sent. No Qt here: the command-line
// tool uses them too.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/sorties/embossage.h"

namespace dotavob {

// The system's queue named by the printer. `attente`: how long (seconds) to
// wait for the device to take a job before calling it failed (then the job
// is cancelled, so that nothing is embossed later by surprise). `patiente`,
// when given, is called a few times a second while the device is awaited
// (a window stays alive); false stops the wait and cancels the job.
std::unique_ptr<SpouleurBrut> spouleurSysteme(int attente = 120, std::function<bool()> patiente = {});

// Every job of one embossing into one file (the copies one after the other),
// written whole at the end of each job.
class SpouleurFichier : public SpouleurBrut {
public:
    bool ouvre(const std::string& chemin, const std::string& nomDocument) override;
    bool debutPage() override { return true; }
    bool ecrit(std::string_view octets) override;
    bool finPage() override { return true; }
    bool ferme() override;
    void annule() override { octets_.clear(); }
    std::string erreur() const override { return erreur_; }

private:
    std::string chemin_, octets_, erreur_;
};

}  // namespace dotavob
