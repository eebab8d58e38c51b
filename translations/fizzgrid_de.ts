<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Facilities</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>MessageDlg</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>TAboutBox1</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Fizzgrid</source>
        <translation>Fizzgrid</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TApplication</name>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
</context>
<context>
    <name>TBordGrid</name>
    <message>
        <source>empty</source>
        <translation>leer</translation>
    </message>
    <message>
        <source>yours</source>
        <translation>Ihres</translation>
    </message>
    <message>
        <source>the opponent&apos;s</source>
        <translation>des Gegners</translation>
    </message>
    <message>
        <source>Row %1, column %2: %3, %4 of %5</source>
        <translation>Zeile %1, Spalte %2: %3, %4 von %5</translation>
    </message>
</context>
<context>
    <name>TByteField</name>
    <message>
        <source>Value must be between %1 and %2</source>
        <translation>Der Wert muss zwischen %1 und %2 liegen</translation>
    </message>
</context>
<context>
    <name>TChatForm</name>
    <message>
        <source>Chat with your opponent</source>
        <translation>Mit dem Gegner chatten</translation>
    </message>
    <message>
        <source>Type your comments below :</source>
        <translation>Geben Sie Ihre Nachricht unten ein:</translation>
    </message>
    <message>
        <source>Press &lt;ENTER&gt; to send the last line you typed to your opponent</source>
        <translation>Drücken Sie &lt;EINGABE&gt;, um die zuletzt getippte Zeile an Ihren Gegner zu senden</translation>
    </message>
    <message>
        <source>Your opponent says :</source>
        <translation>Ihr Gegner sagt:</translation>
    </message>
    <message>
        <source>This field shows the text your opponent sent</source>
        <translation>Dieses Feld zeigt den Text, den Ihr Gegner gesendet hat</translation>
    </message>
    <message>
        <source>Your message</source>
        <translation>Ihre Nachricht</translation>
    </message>
    <message>
        <source>Your opponent&apos;s messages</source>
        <translation>Nachrichten Ihres Gegners</translation>
    </message>
</context>
<context>
    <name>TEnterNameDialog</name>
    <message>
        <source>Gimme ...</source>
        <translation>Wer spielt?</translation>
    </message>
    <message>
        <source>Your Name : </source>
        <translation>Ihr Name: </translation>
    </message>
    <message>
        <source>Your name</source>
        <translation>Ihr Name</translation>
    </message>
</context>
<context>
    <name>TGameController</name>
    <message>
        <source>You must select a connection type</source>
        <translation>Sie müssen eine Verbindungsart wählen</translation>
    </message>
    <message>
        <source>Establishing connection ...</source>
        <translation>Verbindung wird aufgebaut ...</translation>
    </message>
    <message>
        <source>Continue waiting</source>
        <translation>Weiter warten</translation>
    </message>
    <message>
        <source>Waiting for opponent to connect</source>
        <translation>Warte auf die Verbindung des Gegners</translation>
    </message>
    <message>
        <source>Link closed</source>
        <translation>Verbindung geschlossen</translation>
    </message>
    <message>
        <source>Fizzgrid</source>
        <translation>Fizzgrid</translation>
    </message>
    <message>
        <source>You cannot click on fields occupied by your opponent</source>
        <translation>Felder Ihres Gegners können Sie nicht anklicken</translation>
    </message>
    <message>
        <source>Just a second...<byte value="xd"/>Thinking</source>
        <translation>Einen Moment...<byte value="xd"/>Ich denke nach</translation>
    </message>
    <message>
        <source>Waiting for opponent</source>
        <translation>Warte auf den Gegner</translation>
    </message>
    <message>
        <source>Moved :<byte value="xd"/>     [%1,%2]</source>
        <translation>Gezogen:<byte value="xd"/>     [%1,%2]</translation>
    </message>
    <message>
        <source>%1 wins</source>
        <translation>%1 gewinnt</translation>
    </message>
    <message>
        <source>We have a draw</source>
        <translation>Unentschieden</translation>
    </message>
    <message>
        <source>
GAME OVER<byte value="xd"/>%1</source>
        <translation>
SPIEL VORBEI<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Do you want to play again</source>
        <translation>Möchten Sie noch einmal spielen</translation>
    </message>
    <message>
        <source>Waiting for opponent<byte value="xd"/>to start game</source>
        <translation>Warte, bis der Gegner<byte value="xd"/>das Spiel startet</translation>
    </message>
    <message>
        <source>Are you sure</source>
        <translation>Sind Sie sicher</translation>
    </message>
    <message>
        <source>Link has been closed by partner</source>
        <translation>Der Gegner hat die Verbindung geschlossen</translation>
    </message>
</context>
<context>
    <name>TGameTypeSelection</name>
    <message>
        <source>Game Type</source>
        <translation>Spielart</translation>
    </message>
    <message>
        <source> Select a game type </source>
        <translation> Wählen Sie eine Spielart </translation>
    </message>
    <message>
        <source>Local game</source>
        <translation>Lokales Spiel</translation>
    </message>
    <message>
        <source>Play against the computer</source>
        <translation>Gegen den Computer spielen</translation>
    </message>
    <message>
        <source>Against other computer</source>
        <translation>Gegen anderen Computer</translation>
    </message>
    <message>
        <source>Play against a friend somewhere on the Net</source>
        <translation>Gegen einen Freund irgendwo im Netz spielen</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>Spielleiter</translation>
    </message>
    <message>
        <source>Check this if you want to decide on the size of the game board</source>
        <translation>Ankreuzen, wenn Sie die Größe des Spielbretts bestimmen wollen</translation>
    </message>
    <message>
        <source>Address :</source>
        <translation>Adresse:</translation>
    </message>
    <message>
        <source>The TCP/IP address of the computer of your opponent</source>
        <translation>Die TCP/IP-Adresse des Computers Ihres Gegners</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>You have to specify an internet address</source>
        <translation>Sie müssen eine Internetadresse angeben</translation>
    </message>
    <message>
        <source>Address of your opponent&apos;s computer</source>
        <translation>Adresse des Computers Ihres Gegners</translation>
    </message>
</context>
<context>
    <name>THowToPlay</name>
    <message>
        <source>How to play</source>
        <translation>Spielanleitung</translation>
    </message>
    <message>
        <source>Two players take turns placing one mass on a cell that is empty or already theirs. You are cyan, your opponent is red.</source>
        <translation>Zwei Spieler setzen abwechselnd eine Masse auf ein Feld, das leer ist oder ihnen schon gehört. Sie sind Cyan, Ihr Gegner ist Rot.</translation>
    </message>
    <message>
        <source>A cell holds as many masses as it has neighbours: 2 in a corner, 3 on an edge, 4 inside. Each mass fills it further, from the outside in:</source>
        <translation>Ein Feld fasst so viele Massen, wie es Nachbarn hat: 2 in einer Ecke, 3 am Rand, 4 innen. Jede Masse füllt es weiter, von außen nach innen:</translation>
    </message>
    <message>
        <source>When a cell is full it explodes: it empties and throws one mass to each neighbour. Every neighbour hit becomes the exploding player&apos;s, with all its masses, and explodes in turn when it is full:</source>
        <translation>Ist ein Feld voll, explodiert es: Es leert sich und wirft jedem Nachbarn eine Masse zu. Jeder getroffene Nachbar geht mit all seinen Massen an den explodierenden Spieler über und explodiert seinerseits, wenn er voll ist:</translation>
    </message>
    <message>
        <source>The game ends when the player to move has no empty or own cell left, or when a chain reaction would never settle. The larger total mass wins; equal totals are a draw, which counts as a win for both in the high scores.</source>
        <translation>Das Spiel endet, wenn der Spieler am Zug kein leeres oder eigenes Feld mehr hat oder wenn eine Kettenreaktion nie zur Ruhe käme. Die größere Gesamtmasse gewinnt; gleiche Summen sind ein Unentschieden, das in der Bestenliste für beide als Sieg zählt.</translation>
    </message>
    <message>
        <source>The score is each player&apos;s total mass. Beside it, &quot;Moved : [row,column]&quot; is your opponent&apos;s last move, counted from 1; &quot;Just a second... Thinking&quot; while the computer thinks, &quot;Waiting for opponent&quot; while a player on another computer does. A thin outline in each player&apos;s colour marks that player&apos;s last move.</source>
        <translation>Der Punktestand ist die Gesamtmasse jedes Spielers. Daneben steht „Gezogen: [Zeile,Spalte]“ für den letzten Zug Ihres Gegners, von 1 an gezählt; „Einen Moment... Ich denke nach“, während der Computer nachdenkt, „Warte auf den Gegner“, während ein Spieler an einem anderen Computer überlegt. Ein dünner Rahmen in der Farbe jedes Spielers markiert dessen letzten Zug.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Keys: the arrow keys move a frame over the board (Tab reaches it), Space or Enter places there. F2 starts the next game, Ctrl+F2 restarts against the computer, Ctrl+Z takes your last move back, H marks the cell the computer would play in your place, Ctrl+E switches the explosions off and on, Escape (or a click on the board) shows the end of a chain reaction and of the reply at once, F1 shows this.</source>
        <translation>Tasten: Die Pfeiltasten bewegen einen Rahmen über das Brett (Tab erreicht es), Leertaste oder Eingabe setzt dort. F2 startet das nächste Spiel, Strg+F2 beginnt neu gegen den Computer, Strg+Z nimmt Ihren letzten Zug zurück, H markiert das Feld, das der Computer an Ihrer Stelle spielen würde, Strg+E schaltet die Explosionen aus und ein, Escape (oder ein Klick auf das Brett) zeigt sofort das Ende einer Kettenreaktion und der Antwort, F1 zeigt diese Anleitung.</translation>
    </message>
</context>
<context>
    <name>TInformationDialog</name>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Fizzgrid</source>
        <translation>Fizzgrid</translation>
    </message>
    <message>
        <source>Click on the field you want to place a mass on</source>
        <translation>Klicken Sie auf das Feld, auf das Sie eine Masse setzen wollen</translation>
    </message>
    <message>
        <source> Score </source>
        <translation> Punktestand </translation>
    </message>
    <message>
        <source>This indicates the last move of your opponent (Row, Column)</source>
        <translation>Dies zeigt den letzten Zug Ihres Gegners (Zeile, Spalte)</translation>
    </message>
    <message>
        <source>Click the board or press F2 for a new game</source>
        <translation>Klicken Sie auf das Brett oder drücken Sie F2 für ein neues Spiel</translation>
    </message>
    <message>
        <source>&amp;Standard</source>
        <translation>&amp;Standard</translation>
    </message>
    <message>
        <source>S&amp;trong</source>
        <translation>S&amp;tark</translation>
    </message>
    <message>
        <source>&amp;Expert</source>
        <translation>&amp;Experte</translation>
    </message>
    <message>
        <source>&amp;Normal</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>&amp;Fast</source>
        <translation>&amp;Schnell</translation>
    </message>
    <message>
        <source>&amp;Off</source>
        <translation>&amp;Aus</translation>
    </message>
    <message>
        <source>&amp;Game</source>
        <translation>&amp;Spiel</translation>
    </message>
    <message>
        <source>&amp;Dimensions</source>
        <translation>&amp;Abmessungen</translation>
    </message>
    <message>
        <source>&amp;Start Game</source>
        <translation>Spiel &amp;starten</translation>
    </message>
    <message>
        <source>&amp;Restart</source>
        <translation>&amp;Neu beginnen</translation>
    </message>
    <message>
        <source>&amp;Explosions</source>
        <translation>&amp;Explosionen</translation>
    </message>
    <message>
        <source>&amp;High Scores</source>
        <translation>Besten&amp;liste</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>H&amp;int</source>
        <translation>&amp;Tipp</translation>
    </message>
    <message>
        <source>&amp;Computer strength</source>
        <translation>&amp;Computerstärke</translation>
    </message>
    <message>
        <source>Animation s&amp;peed</source>
        <translation>Animationstem&amp;po</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Über...</translation>
    </message>
    <message>
        <source>Show program information</source>
        <translation>Programminformationen anzeigen</translation>
    </message>
    <message>
        <source>How to &amp;play</source>
        <translation>&amp;Spielanleitung</translation>
    </message>
    <message>
        <source>Score: you %1, the opponent %2</source>
        <translation>Punktestand: Sie %1, der Gegner %2</translation>
    </message>
    <message>
        <source>&amp;Vary the computer&apos;s play</source>
        <translation>Spiel des Computers &amp;variieren</translation>
    </message>
    <message>
        <source>Click or press Escape to see the result</source>
        <translation>Klicken oder Escape drücken zeigt das Ergebnis</translation>
    </message>
</context>
<context>
    <name>TScoreFile</name>
    <message>
        <source>I/O error: cannot read &quot;%1&quot;: it is not a file</source>
        <translation>E/A-Fehler: „%1“ kann nicht gelesen werden: Es ist keine Datei</translation>
    </message>
    <message>
        <source>I/O error: cannot read &quot;%1&quot;: %2</source>
        <translation>E/A-Fehler: „%1“ kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>I/O error while reading &quot;%1&quot;: %2</source>
        <translation>E/A-Fehler beim Lesen von „%1“: %2</translation>
    </message>
    <message>
        <source>I/O error while reading &quot;%1&quot;: the last record is short (%2 of %3 bytes); it will be dropped when the high scores are saved</source>
        <translation>E/A-Fehler beim Lesen von „%1“: Der letzte Eintrag ist zu kurz (%2 von %3 Bytes); er wird beim Speichern der Bestenliste verworfen</translation>
    </message>
    <message>
        <source>I/O error: the high scores could not be written to &quot;%1&quot;: %2</source>
        <translation>E/A-Fehler: Die Bestenliste konnte nicht nach „%1“ geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>TScoreTable</name>
    <message>
        <source>High Scores</source>
        <translation>Bestenliste</translation>
    </message>
    <message>
        <source>                 Name</source>
        <translation>                 Name</translation>
    </message>
    <message>
        <source>Won</source>
        <translation>Siege</translation>
    </message>
    <message>
        <source>Lost</source>
        <translation>Niederl.</translation>
    </message>
    <message>
        <source>Score</source>
        <translation>Punkte</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Delete all entries</source>
        <translation>Alle Einträge löschen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete the selected entry</source>
        <translation>Den ausgewählten Eintrag löschen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Close this window</source>
        <translation>Dieses Fenster schließen</translation>
    </message>
    <message>
        <source>I/O error: the high scores were not written to &quot;%1&quot;, which could not be read at start; it is left as it was</source>
        <translation>E/A-Fehler: Die Bestenliste wurde nicht nach „%1“ geschrieben, da die Datei beim Start nicht gelesen werden konnte; sie bleibt unverändert</translation>
    </message>
    <message>
        <source>Place</source>
        <translation>Platz</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
</context>
<context>
    <name>TSizeDlg</name>
    <message>
        <source>Customize dimensions</source>
        <translation>Abmessungen anpassen</translation>
    </message>
    <message>
        <source>Number of Rows</source>
        <translation>Anzahl der Zeilen</translation>
    </message>
    <message>
        <source>Number of Columns</source>
        <translation>Anzahl der Spalten</translation>
    </message>
    <message>
        <source>Number of rows</source>
        <translation>Anzahl der Zeilen</translation>
    </message>
    <message>
        <source>Number of columns</source>
        <translation>Anzahl der Spalten</translation>
    </message>
</context>
<context>
    <name>TThinkGauges</name>
    <message>
        <source>Thinking</source>
        <translation>Denke nach</translation>
    </message>
    <message>
        <source>Level 1 : </source>
        <translation>Ebene 1: </translation>
    </message>
    <message>
        <source>Level 2 : </source>
        <translation>Ebene 2: </translation>
    </message>
</context>
</TS>
