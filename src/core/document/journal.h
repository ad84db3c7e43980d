// The undo journal: one flat byte stream of self-sized records with a
// read/write position. Before the position: what can be undone; after it:
// what can be redone. Records carry their length at both ends so that the
// stream can be walked both ways.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/document/formatpage.h"
#include "core/document/marqueurs.h"

namespace dotavob {

// What a record does besides its bytes, kept beside the stream: the markers
// that reach into the stretch it touched, before and after (the stretch
// debut..finAvant before, debut..finApres after), and where the caret stands
// after undo and redo (0: at the end of the bytes put back).
struct AnnexeEnregistrement {
    std::int32_t debut = 0, finAvant = 0, finApres = 0;
    TgestionnaireMarqueurs::Places avant, apres;
    std::int32_t curseurDefait = 0, curseurRefait = 0;
    // A new page format re-wraps the whole document: undo puts the old one back.
    std::optional<FormatPage> formatAvant, formatApres;
    bool vide() const {
        return avant.empty() && apres.empty() && curseurDefait == 0 && curseurRefait == 0 && !formatAvant && !formatApres;
    }
};

struct Enregistrement {
    std::uint8_t type = 0;  // 0 replacement, 2 turn
    std::int32_t pos = 0;   // type 0: first replaced position
    std::string ancien;     // type 0: removed bytes
    std::string nouveau;    // type 0: inserted bytes
    std::int32_t premier = 0, dernier = 0;  // type 2: turned range, inclusive
    const AnnexeEnregistrement* annexe = nullptr;  // none for a record written without one
};

class Journal {
public:
    static constexpr std::uint8_t REMPLACEMENT = 0;
    static constexpr std::uint8_t RETOURNEMENT = 2;

    void JournalRemplace(std::string_view ancien, std::string_view nouveau, std::int32_t pos,
                         AnnexeEnregistrement annexe = {});
    void JournalRetourne(std::int32_t premier, std::int32_t dernier, AnnexeEnregistrement annexe = {});

    bool PeutDefaire() const { return position_ > 0; }
    bool PeutRefaire() const { return position_ < flux_.size(); }
    bool JournalEstSuspendu() const { return suspendu_ > 0; }

    // Read the record just before (after) the position without moving it;
    // `debut` / `fin` receive where the position goes once it is replayed.
    // False when there is none or when the stream is not well formed there.
    bool litPrecedent(Enregistrement& e, std::size_t& debut) const;
    bool litSuivant(Enregistrement& e, std::size_t& fin) const;
    void placePosition(std::size_t p) { position_ = p <= flux_.size() ? p : flux_.size(); }

    void suspend() { ++suspendu_; }
    void reprend() {
        if (suspendu_ > 0) --suspendu_;
    }
    // Forgets every record (a new document must not undo the old one's edits).
    void vide() {
        flux_.clear();
        annexes_.clear();
        position_ = 0;
    }

    const std::vector<std::uint8_t>& octets() const { return flux_; }
    std::size_t position() const { return position_; }

    class Suspension {
    public:
        explicit Suspension(Journal& j) : j_(j) { j_.suspend(); }
        ~Suspension() { j_.reprend(); }
        Suspension(const Suspension&) = delete;
        Suspension& operator=(const Suspension&) = delete;

    private:
        Journal& j_;
    };

private:
    void ecritEntier(std::int32_t v);
    void ecritOctets(std::string_view s);
    bool decode(std::size_t debut, std::size_t longueur, Enregistrement& e) const;
    void termine(std::size_t debut);
    // A new record ends the redo history, annexes included.
    std::size_t commence();
    void joins(std::size_t debut, AnnexeEnregistrement&& a);
    const AnnexeEnregistrement* annexeDe(std::size_t debut) const;

    std::vector<std::uint8_t> flux_;
    std::vector<std::pair<std::size_t, AnnexeEnregistrement>> annexes_;  // by record start, ascending
    std::size_t position_ = 0;
    std::int32_t suspendu_ = 0;
};

}  // namespace dotavob
