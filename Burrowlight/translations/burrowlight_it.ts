<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>About</name>
    <message>
        <source>Burrowlight is distributed in the hope that it will be useful, but without any warranty, within the limits of the law: the details are in the Terms of Use.</source>
        <translation>Burrowlight è distribuito nella speranza che sia utile, ma senza alcuna garanzia, nei limiti di legge: i dettagli sono nelle Condizioni d’uso.</translation>
    </message>
    <message>
        <source>Burrowlight includes the following open source software.</source>
        <translation>Burrowlight include il seguente software open source.</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versione %1</translation>
    </message>
</context>
<context>
    <name>ArchiveImport</name>
    <message numerus="yes">
        <source>Import %n tunnels from “%1”?</source>
        <translation>
            <numerusform>Importare %n tunnel da “%1”?</numerusform>
            <numerusform>Importare %n tunnel da “%1”?</numerusform>
        </translation>
    </message>
    <message>
        <source>Some of these tunnels run programs on this computer when they connect (%1). Import them only if you trust who made the file.</source>
        <translation>Alcuni di questi tunnel avviano programmi su questo computer quando si connettono (%1). Importali solo se ti fidi di chi ha creato il file.</translation>
    </message>
    <message>
        <source>Some of these tunnels lower the protection ssh gives: the server may use your keys, a changed server goes unnoticed, or other computers reach a forward (%1). Import them only if you trust who made the file.</source>
        <translation>Alcuni di questi tunnel riducono la protezione offerta da ssh: il server può usare le tue chiavi, un server cambiato passa inosservato, oppure altri computer raggiungono un inoltro (%1). Importali solo se ti fidi di chi ha creato il file.</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importa</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>“%1” isn&apos;t a Burrowlight file.</source>
        <translation>“%1” non è un file di Burrowlight.</translation>
    </message>
</context>
<context>
    <name>ArchivePanels</name>
    <message>
        <source>Burrowlight Tunnels (*.burrowlight)</source>
        <translation>Tunnel di Burrowlight (*.burrowlight)</translation>
    </message>
    <message>
        <source>JSON (*.json)</source>
        <translation>JSON (*.json)</translation>
    </message>
</context>
<context>
    <name>AskPassDialogModel</name>
    <message>
        <source>Trust the server of “%1”?</source>
        <translation>Ti fidi del server di “%1”?</translation>
    </message>
    <message>
        <source>This is the first connection to this server, or its address changed. Check that the fingerprint matches the server&apos;s before trusting it.</source>
        <translation>È la prima connessione a questo server, oppure il suo indirizzo è cambiato. Prima di fidarti, controlla che l’impronta corrisponda a quella del server.</translation>
    </message>
    <message>
        <source>Trust and Connect</source>
        <translation>Fidati e connetti</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Allow</source>
        <translation>Consenti</translation>
    </message>
    <message>
        <source>Deny</source>
        <translation>Nega</translation>
    </message>
    <message>
        <source>Key passphrase for “%1”</source>
        <translation>Passphrase della chiave per “%1”</translation>
    </message>
    <message>
        <source>Password for “%1”</source>
        <translation>Password per “%1”</translation>
    </message>
    <message>
        <source>The saved one wasn&apos;t accepted.</source>
        <translation>La password o passphrase salvata non è stata accettata.</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connetti</translation>
    </message>
    <message>
        <source>Remember in keyring</source>
        <translation>Ricorda nel portachiavi</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>NAME</source>
        <translation>NOME</translation>
    </message>
    <message>
        <source>TAG</source>
        <translation>ETICHETTA</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>Start %1, or open the files in the one running</source>
        <translation>Avvia %1, o apri i file nell’istanza già in esecuzione</translation>
    </message>
    <message>
        <source>Connect the tunnels and show their status</source>
        <translation>Connetti i tunnel e mostrane lo stato</translation>
    </message>
    <message>
        <source>Connect the tunnels tagged %1</source>
        <translation>Connetti i tunnel etichettati %1</translation>
    </message>
    <message>
        <source>Connect every tunnel</source>
        <translation>Connetti tutti i tunnel</translation>
    </message>
    <message>
        <source>Disconnect the tunnels</source>
        <translation>Disconnetti i tunnel</translation>
    </message>
    <message>
        <source>Disconnect the tunnels tagged %1</source>
        <translation>Disconnetti i tunnel etichettati %1</translation>
    </message>
    <message>
        <source>Disconnect every tunnel</source>
        <translation>Disconnetti tutti i tunnel</translation>
    </message>
    <message>
        <source>Show the status of the tunnels, or of every tunnel</source>
        <translation>Mostra lo stato dei tunnel indicati, o di tutti</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>Utilizzo:</translation>
    </message>
    <message>
        <source>A %1 is a tunnel&apos;s name or ID. Connecting waits up to 20 seconds for the tunnels.</source>
        <translation>%1 è il nome o l’ID di un tunnel. connect attende fino a 20 secondi che i tunnel si connettano.</translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation>Mostra questo aiuto.</translation>
    </message>
    <message>
        <source>Also the tunnels tagged %1.</source>
        <translation>Anche i tunnel etichettati %1.</translation>
    </message>
    <message>
        <source>Every tunnel.</source>
        <translation>Tutti i tunnel.</translation>
    </message>
    <message>
        <source>Connects the tunnels, waits up to 20 seconds for them and shows their status.</source>
        <translation>Connette i tunnel, li attende fino a 20 secondi e ne mostra lo stato.</translation>
    </message>
    <message>
        <source>Disconnects the tunnels, without waiting for them to stop.</source>
        <translation>Disconnette i tunnel, senza attendere che si fermino.</translation>
    </message>
    <message>
        <source>Shows the status of the tunnels, or of every tunnel.</source>
        <translation>Mostra lo stato dei tunnel indicati, o di tutti.</translation>
    </message>
    <message>
        <source>A tunnel&apos;s name or ID.</source>
        <translation>Il nome o l’ID di un tunnel.</translation>
    </message>
    <message>
        <source>See &quot;%1 %2 --help&quot;.</source>
        <translation>Vedi &quot;%1 %2 --help&quot;.</translation>
    </message>
    <message>
        <source>--all can&apos;t go with names or --tag.</source>
        <translation>--all non si può usare con nomi o --tag.</translation>
    </message>
    <message>
        <source>Say which tunnels: their names, --tag %1 or --all.</source>
        <translation>Indica quali tunnel: i loro nomi, --tag %1 o --all.</translation>
    </message>
    <message>
        <source>%1 isn&apos;t running.</source>
        <translation>%1 non è in esecuzione.</translation>
    </message>
    <message>
        <source>The commands act on the running %1 over D-Bus. For a command&apos;s options: %2 COMMAND --help</source>
        <translation>I comandi agiscono sull’istanza di %1 in esecuzione tramite D-Bus. Per le opzioni di un comando: %2 COMANDO --help</translation>
    </message>
    <message>
        <source>TEXT</source>
        <translation>TESTO</translation>
    </message>
    <message>
        <source>Show the status of the tunnels whose texts contain %1</source>
        <translation>Mostra lo stato dei tunnel i cui testi contengono %1</translation>
    </message>
    <message>
        <source>The tunnels whose name, server, user, note, jump hosts, tags or forwards contain %1, letter case ignored.</source>
        <translation>I tunnel il cui nome, server, utente, nota, host di salto, etichette o inoltri contengono %1, senza distinguere maiuscole e minuscole.</translation>
    </message>
    <message>
        <source>--matching can&apos;t go with names.</source>
        <translation>--matching non si può usare con nomi.</translation>
    </message>
</context>
<context>
    <name>DecodingError</name>
    <message>
        <source>%1 (at %2)</source>
        <translation>%1 (in %2)</translation>
    </message>
    <message>
        <source>The file isn&apos;t in the expected format.</source>
        <translation>Il file non è nel formato previsto.</translation>
    </message>
    <message>
        <source>A value is missing.</source>
        <translation>Manca un valore.</translation>
    </message>
    <message>
        <source>A value is empty.</source>
        <translation>Un valore è vuoto.</translation>
    </message>
    <message>
        <source>A value has the wrong type.</source>
        <translation>Un valore è del tipo sbagliato.</translation>
    </message>
    <message>
        <source>An address must be either a port or a socket.</source>
        <translation>Un indirizzo deve essere una porta oppure un socket.</translation>
    </message>
    <message>
        <source>A number is out of range.</source>
        <translation>Un numero è fuori dall’intervallo consentito.</translation>
    </message>
    <message>
        <source>A number must be a whole number.</source>
        <translation>Un numero deve essere intero.</translation>
    </message>
    <message>
        <source>An identifier isn&apos;t valid.</source>
        <translation>Un identificatore non è valido.</translation>
    </message>
    <message>
        <source>A date isn&apos;t valid.</source>
        <translation>Una data non è valida.</translation>
    </message>
    <message>
        <source>A forward has an unknown kind.</source>
        <translation>Un inoltro è di un tipo sconosciuto.</translation>
    </message>
    <message>
        <source>It isn&apos;t a Burrowlight file.</source>
        <translation>Non è un file di Burrowlight.</translation>
    </message>
</context>
<context>
    <name>EditorSections</name>
    <message>
        <source>No forwards of its own: it uses those of ~/.ssh/config.</source>
        <translation>Nessun inoltro proprio: usa quelli di ~/.ssh/config.</translation>
    </message>
    <message>
        <source>No forwards. The tunnel only keeps the connection open.</source>
        <translation>Nessun inoltro. Il tunnel si limita a tenere aperta la connessione.</translation>
    </message>
    <message>
        <source>Forwards</source>
        <translation>Inoltri</translation>
    </message>
    <message>
        <source>From ~/.ssh/config</source>
        <translation>Da ~/.ssh/config</translation>
    </message>
    <message>
        <source>Connects to</source>
        <translation>Si connette a</translation>
    </message>
    <message>
        <source>Jump Hosts</source>
        <translation>Host di salto</translation>
    </message>
    <message>
        <source>Session</source>
        <translation>Sessione</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Signed In With</source>
        <translation>Accesso con</translation>
    </message>
    <message>
        <source>Key Exchange</source>
        <translation>Scambio di chiavi</translation>
    </message>
    <message>
        <source>post-quantum</source>
        <translation>post-quantistico</translation>
    </message>
    <message>
        <source>Encryption</source>
        <translation>Cifratura</translation>
    </message>
    <message>
        <source>To the Server</source>
        <translation>Verso il server</translation>
    </message>
    <message>
        <source>From the Server</source>
        <translation>Dal server</translation>
    </message>
    <message>
        <source>Server Key</source>
        <translation>Chiave del server</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avanzate</translation>
    </message>
    <message>
        <source>SSH Command</source>
        <translation>Comando SSH</translation>
    </message>
    <message>
        <source>As saved: the changes on screen can&apos;t be used yet.</source>
        <translation>Come salvato: le modifiche sullo schermo non si possono ancora usare.</translation>
    </message>
    <message>
        <source>Copy SSH Command</source>
        <translation>Copia comando SSH</translation>
    </message>
</context>
<context>
    <name>Export</name>
    <message>
        <source>The tunnels couldn&apos;t be exported</source>
        <translation>Impossibile esportare i tunnel</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>it isn&apos;t a regular file</source>
        <translation>non è un file normale</translation>
    </message>
    <message>
        <source>it is larger than %1 MB</source>
        <translation>è più grande di %1 MB</translation>
    </message>
    <message>
        <source>“%1” couldn&apos;t be read: %2.</source>
        <translation>Impossibile leggere “%1”: %2.</translation>
    </message>
    <message>
        <source>The folder “%1” couldn&apos;t be created: %2.</source>
        <translation>Impossibile creare la cartella “%1”: %2.</translation>
    </message>
    <message>
        <source>“%1” couldn&apos;t be written: %2.</source>
        <translation>Impossibile scrivere “%1”: %2.</translation>
    </message>
    <message>
        <source>“%1” couldn&apos;t be replaced: %2.</source>
        <translation>Impossibile sostituire “%1”: %2.</translation>
    </message>
</context>
<context>
    <name>Forward</name>
    <message>
        <source>Local</source>
        <translation>Locale</translation>
    </message>
    <message>
        <source>Remote</source>
        <translation>Remoto</translation>
    </message>
    <message>
        <source>SOCKS on This Computer</source>
        <translation>SOCKS su questo computer</translation>
    </message>
    <message>
        <source>SOCKS on Server</source>
        <translation>SOCKS sul server</translation>
    </message>
    <message>
        <source>A port on this computer that leads to a service the server can reach.</source>
        <translation>Una porta su questo computer che conduce a un servizio raggiungibile dal server.</translation>
    </message>
    <message>
        <source>A port on the server that leads to a service this computer can reach.</source>
        <translation>Una porta sul server che conduce a un servizio raggiungibile da questo computer.</translation>
    </message>
    <message>
        <source>A proxy on this computer: connections leave from the server.</source>
        <translation>Un proxy su questo computer: le connessioni partono dal server.</translation>
    </message>
    <message>
        <source>A proxy on the server: connections leave from this computer.</source>
        <translation>Un proxy sul server: le connessioni partono da questo computer.</translation>
    </message>
    <message>
        <source>SOCKS %1</source>
        <translation>SOCKS %1</translation>
    </message>
</context>
<context>
    <name>ForwardDraft</name>
    <message>
        <source>Listening Address</source>
        <translation>Indirizzo di ascolto</translation>
    </message>
    <message>
        <source>Port on This Computer</source>
        <translation>Porta su questo computer</translation>
    </message>
    <message>
        <source>Port on the Server</source>
        <translation>Porta sul server</translation>
    </message>
    <message>
        <source>Socket Path</source>
        <translation>Percorso del socket</translation>
    </message>
    <message>
        <source>Destination Address</source>
        <translation>Indirizzo di destinazione</translation>
    </message>
    <message>
        <source>Destination Port</source>
        <translation>Porta di destinazione</translation>
    </message>
    <message>
        <source>Port already used by “%1”.</source>
        <translation>Porta già usata da “%1”.</translation>
    </message>
    <message>
        <source>The port is missing.</source>
        <translation>Manca la porta.</translation>
    </message>
    <message>
        <source>Ports go from 1 to 65535.</source>
        <translation>Le porte vanno da 1 a 65535.</translation>
    </message>
    <message>
        <source>The address is missing.</source>
        <translation>Manca l’indirizzo.</translation>
    </message>
    <message>
        <source>Addresses can&apos;t contain spaces or slashes, or start with a dash.</source>
        <translation>Gli indirizzi non possono contenere spazi o barre, né iniziare con un trattino.</translation>
    </message>
    <message>
        <source>The socket path is missing.</source>
        <translation>Manca il percorso del socket.</translation>
    </message>
    <message numerus="yes">
        <source>Fix %n forwards to save.</source>
        <translation>
            <numerusform>Correggi %n inoltro per salvare.</numerusform>
            <numerusform>Correggi %n inoltri per salvare.</numerusform>
        </translation>
    </message>
    <message>
        <source>Complete “%1”, or remove it.</source>
        <translation>Completa l’inoltro “%1” o rimuovilo.</translation>
    </message>
    <message>
        <source>Fix “%1” to save.</source>
        <translation>Correggi l’inoltro “%1” per salvare.</translation>
    </message>
</context>
<context>
    <name>LoginItem</name>
    <message>
        <source>Neither the home folder nor this program&apos;s location is known.</source>
        <translation>Non si conosce né la cartella Home né la posizione di questo programma.</translation>
    </message>
    <message>
        <source>“%1” couldn&apos;t be written: %2</source>
        <translation>Impossibile scrivere “%1”: %2</translation>
    </message>
    <message>
        <source>“%1” couldn&apos;t be removed: %2</source>
        <translation>Impossibile rimuovere “%1”: %2</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Search Tunnels</source>
        <translation>Cerca tunnel</translation>
    </message>
    <message>
        <source>Tunnels</source>
        <translation>Tunnel</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Gruppi</translation>
    </message>
    <message>
        <source>New Tunnel</source>
        <translation>Nuovo tunnel</translation>
    </message>
    <message>
        <source>No Tunnel Selected</source>
        <translation>Nessun tunnel selezionato</translation>
    </message>
    <message>
        <source>Select a tunnel, or create one to forward ports through SSH.</source>
        <translation>Seleziona un tunnel, o creane uno per inoltrare porte tramite SSH.</translation>
    </message>
    <message numerus="yes">
        <source>%n Tunnels Selected</source>
        <translation>
            <numerusform>%n tunnel selezionato</numerusform>
            <numerusform>%n tunnel selezionati</numerusform>
        </translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connetti</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnetti</translation>
    </message>
    <message>
        <source>Import from SSH Config…</source>
        <translation>Importa dalla configurazione di ssh…</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importa…</translation>
    </message>
    <message>
        <source>Clear Search</source>
        <translation>Cancella la ricerca</translation>
    </message>
</context>
<context>
    <name>ProblemReport</name>
    <message>
        <source>Read ~/.ssh/config: yes</source>
        <translation>Leggi ~/.ssh/config: sì</translation>
    </message>
    <message>
        <source>Read ~/.ssh/config: no</source>
        <translation>Leggi ~/.ssh/config: no</translation>
    </message>
    <message>
        <source>Report a Problem</source>
        <translation>Segnala un problema</translation>
    </message>
    <message>
        <source>Email %1 and tell us what happened and what you were doing just before. A tunnel&apos;s log helps: use the copy button next to “Log” in the tunnel&apos;s detail, and read the log before sending, because it shows your servers and users. Never send passwords or private keys.</source>
        <translation>Scrivi a %1 e raccontaci che cosa è successo e che cosa stavi facendo poco prima. Il registro di un tunnel aiuta: usa il pulsante di copia accanto a “Registro” nel dettaglio del tunnel e rileggi il registro prima di inviarlo, perché mostra i tuoi server e i tuoi utenti. Non inviare mai password o chiavi private.</translation>
    </message>
    <message>
        <source>The email already includes:</source>
        <translation>L’email contiene già:</translation>
    </message>
    <message>
        <source>Write Email</source>
        <translation>Scrivi email</translation>
    </message>
    <message>
        <source>Copy Address</source>
        <translation>Copia indirizzo</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Problem with %1 %2</source>
        <translation>Problema con %1 %2</translation>
    </message>
    <message>
        <source>What happened, and what were you doing just before?</source>
        <translation>Che cosa è successo e che cosa stavi facendo poco prima?</translation>
    </message>
</context>
<context>
    <name>QuitCheck</name>
    <message>
        <source>“%1” has unsaved changes.</source>
        <translation>“%1” ha modifiche non salvate.</translation>
    </message>
    <message numerus="yes">
        <source>%n tunnels have unsaved changes.</source>
        <translation>
            <numerusform>%n tunnel ha modifiche non salvate.</numerusform>
            <numerusform>%n tunnel hanno modifiche non salvate.</numerusform>
        </translation>
    </message>
    <message>
        <source>If you quit now, the changes are lost.</source>
        <translation>Se esci ora, le modifiche andranno perse.</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Esci</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
</context>
<context>
    <name>RelativeTime</name>
    <message>
        <source>now</source>
        <translation>adesso</translation>
    </message>
    <message>
        <source>1 second ago</source>
        <translation>1 secondo fa</translation>
    </message>
    <message numerus="yes">
        <source>%n seconds ago</source>
        <translation>
            <numerusform>%n secondo fa</numerusform>
            <numerusform>%n secondi fa</numerusform>
        </translation>
    </message>
    <message>
        <source>1 minute ago</source>
        <translation>1 minuto fa</translation>
    </message>
    <message numerus="yes">
        <source>%n minutes ago</source>
        <translation>
            <numerusform>%n minuto fa</numerusform>
            <numerusform>%n minuti fa</numerusform>
        </translation>
    </message>
    <message>
        <source>1 hour ago</source>
        <translation>1 ora fa</translation>
    </message>
    <message numerus="yes">
        <source>%n hours ago</source>
        <translation>
            <numerusform>%n ora fa</numerusform>
            <numerusform>%n ore fa</numerusform>
        </translation>
    </message>
    <message>
        <source>yesterday</source>
        <translation>ieri</translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation>
            <numerusform>%n giorno fa</numerusform>
            <numerusform>%n giorni fa</numerusform>
        </translation>
    </message>
    <message>
        <source>last week</source>
        <translation>la settimana scorsa</translation>
    </message>
    <message numerus="yes">
        <source>%n weeks ago</source>
        <translation>
            <numerusform>%n settimana fa</numerusform>
            <numerusform>%n settimane fa</numerusform>
        </translation>
    </message>
    <message>
        <source>last month</source>
        <translation>il mese scorso</translation>
    </message>
    <message numerus="yes">
        <source>%n months ago</source>
        <translation>
            <numerusform>%n mese fa</numerusform>
            <numerusform>%n mesi fa</numerusform>
        </translation>
    </message>
    <message>
        <source>last year</source>
        <translation>l’anno scorso</translation>
    </message>
    <message numerus="yes">
        <source>%n years ago</source>
        <translation>
            <numerusform>%n anno fa</numerusform>
            <numerusform>%n anni fa</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SSHCommandError</name>
    <message>
        <source>Port %1 isn&apos;t between 1 and 65535.</source>
        <translation>La porta %1 non è compresa tra 1 e 65535.</translation>
    </message>
    <message>
        <source>The file path %1 isn&apos;t valid.</source>
        <translation>Il percorso del file %1 non è valido.</translation>
    </message>
    <message>
        <source>Enter the server&apos;s host name or address.</source>
        <translation>Inserisci il nome host o l’indirizzo del server.</translation>
    </message>
    <message>
        <source>The host name can&apos;t contain spaces or start with a dash.</source>
        <translation>Il nome host non può contenere spazi né iniziare con un trattino.</translation>
    </message>
    <message>
        <source>The user name can&apos;t start with a dash.</source>
        <translation>Il nome utente non può iniziare con un trattino.</translation>
    </message>
    <message>
        <source>Jump hosts are written user@host:port, separated by commas.</source>
        <translation>Gli host di salto si scrivono utente@host:porta, separati da virgole.</translation>
    </message>
    <message>
        <source>A forward has a port outside 1–65535.</source>
        <translation>Un inoltro ha una porta fuori dall’intervallo 1–65535.</translation>
    </message>
    <message>
        <source>A forward has an address with spaces or a leading dash.</source>
        <translation>Un inoltro ha un indirizzo con spazi o che inizia con un trattino.</translation>
    </message>
    <message>
        <source>Socket paths start with / or ~/ and can&apos;t contain spaces or colons.</source>
        <translation>I percorsi dei socket iniziano con / o ~/ e non possono contenere spazi né due punti.</translation>
    </message>
    <message>
        <source>A forward is missing its destination.</source>
        <translation>Manca la destinazione di un inoltro.</translation>
    </message>
    <message>
        <source>SOCKS proxies listen on a port, not a socket.</source>
        <translation>I proxy SOCKS restano in ascolto su una porta, non su un socket.</translation>
    </message>
    <message>
        <source>%1 isn&apos;t an ssh option.</source>
        <translation>%1 non è un’opzione di ssh.</translation>
    </message>
    <message>
        <source>%1 is managed by Burrowlight.</source>
        <translation>L’opzione %1 è gestita da Burrowlight.</translation>
    </message>
    <message>
        <source>Set %1 with its field above.</source>
        <translation>Imposta %1 con il suo campo qui sopra.</translation>
    </message>
    <message>
        <source>%1 needs a value.</source>
        <translation>L’opzione %1 richiede un valore.</translation>
    </message>
    <message>
        <source>The value of %1 can&apos;t span several lines.</source>
        <translation>Il valore di %1 non può occupare più righe.</translation>
    </message>
    <message>
        <source>%1 needs a whole number.</source>
        <translation>L’opzione %1 richiede un numero intero.</translation>
    </message>
    <message>
        <source>%1 is set twice.</source>
        <translation>L’opzione %1 è impostata due volte.</translation>
    </message>
</context>
<context>
    <name>SSHConfigImport</name>
    <message>
        <source>Already a tunnel</source>
        <translation>Già presente</translation>
    </message>
    <message>
        <source>ssh couldn&apos;t read this host</source>
        <translation>ssh non è riuscito a leggere questo host</translation>
    </message>
    <message numerus="yes">
        <source>%1 · %n forwards</source>
        <translation>
            <numerusform>%1 · %n inoltro</numerusform>
            <numerusform>%1 · %n inoltri</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SSHFailure</name>
    <message>
        <source>A port on this computer is already in use.</source>
        <translation>Una porta su questo computer è già in uso.</translation>
    </message>
    <message>
        <source>%1 is already in use on this computer.</source>
        <translation>%1 è già in uso su questo computer.</translation>
    </message>
    <message>
        <source>The server didn&apos;t open port %1. It may be in use, or forwarding may be off.</source>
        <translation>Il server non ha aperto la porta %1. Potrebbe essere già in uso, oppure l’inoltro potrebbe essere disattivato.</translation>
    </message>
    <message>
        <source>ssh rejected the settings: %1</source>
        <translation>ssh ha rifiutato le impostazioni: %1</translation>
    </message>
    <message>
        <source>The server refused the connection. Check the host and port.</source>
        <translation>Il server ha rifiutato la connessione. Controlla host e porta.</translation>
    </message>
    <message>
        <source>The host name couldn&apos;t be found.</source>
        <translation>Impossibile trovare il nome host.</translation>
    </message>
    <message>
        <source>The server didn&apos;t answer in time.</source>
        <translation>Il server non ha risposto in tempo.</translation>
    </message>
    <message>
        <source>The network can&apos;t reach the server.</source>
        <translation>La rete non riesce a raggiungere il server.</translation>
    </message>
    <message>
        <source>The connection was lost.</source>
        <translation>La connessione si è interrotta.</translation>
    </message>
    <message>
        <source>The server didn&apos;t accept the key or password.</source>
        <translation>Il server non ha accettato la chiave o la password.</translation>
    </message>
    <message>
        <source>The server&apos;s identity wasn&apos;t confirmed.</source>
        <translation>L’identità del server non è stata confermata.</translation>
    </message>
    <message>
        <source>The server&apos;s identity has changed since the last connection. If you didn&apos;t expect it, someone may be intercepting the connection. Otherwise remove its old entry from known_hosts.</source>
        <translation>L’identità del server è cambiata dall’ultima connessione. Se non te lo aspettavi, qualcuno potrebbe intercettare la connessione. Altrimenti rimuovi la sua vecchia voce da known_hosts.</translation>
    </message>
</context>
<context>
    <name>SSHOption</name>
    <message>
        <source>Connection</source>
        <translation>Connessione</translation>
    </message>
    <message>
        <source>Keep-Alive</source>
        <translation>Keep-alive</translation>
    </message>
    <message>
        <source>Forwarding</source>
        <translation>Inoltro</translation>
    </message>
    <message>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>Host Keys</source>
        <translation>Chiavi dell’host</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>Autenticazione</translation>
    </message>
    <message>
        <source>Algorithms</source>
        <translation>Algoritmi</translation>
    </message>
    <message>
        <source>Host Name Canonicalization</source>
        <translation>Canonicalizzazione dei nomi host</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>Comandi</translation>
    </message>
</context>
<context>
    <name>Scripting</name>
    <message>
        <source>%1: %2</source>
        <extracomment>A tunnel&apos;s name, then its state or what went wrong.</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>“%1” is still connecting after 20 seconds.</source>
        <translation>“%1” è ancora in connessione dopo 20 secondi.</translation>
    </message>
    <message>
        <source>“%1” didn&apos;t connect: %2</source>
        <translation>“%1” non si è connesso: %2</translation>
    </message>
    <message>
        <source>Accept the terms of use of Burrowlight first.</source>
        <translation>Accetta prima le condizioni d’uso di Burrowlight.</translation>
    </message>
    <message>
        <source>No tunnel is tagged “%1”.</source>
        <translation>Nessun tunnel ha l’etichetta “%1”.</translation>
    </message>
    <message>
        <source>There&apos;s no tunnel “%1”.</source>
        <translation>Non c’è nessun tunnel “%1”.</translation>
    </message>
    <message>
        <source>Say which tunnels, for example: connect tunnel &quot;Name&quot;, connect every tunnel or connect tagged &quot;Tag&quot;.</source>
        <translation>Indica quali tunnel, per esempio: connect tunnel &quot;Nome&quot;, connect every tunnel o connect tagged &quot;Etichetta&quot;.</translation>
    </message>
    <message>
        <source>The tunnels couldn&apos;t be read: %1</source>
        <translation>Impossibile leggere i tunnel: %1</translation>
    </message>
</context>
<context>
    <name>SecretKey</name>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Password for %1</source>
        <translation>Password per %1</translation>
    </message>
    <message>
        <source>Key passphrase</source>
        <translation>Passphrase della chiave</translation>
    </message>
    <message>
        <source>Passphrase for %1</source>
        <translation>Passphrase per %1</translation>
    </message>
</context>
<context>
    <name>SettingsSection</name>
    <message>
        <source>General</source>
        <translation>Generali</translation>
    </message>
    <message>
        <source>SSH</source>
        <translation>SSH</translation>
    </message>
    <message>
        <source>Tunnels</source>
        <translation>Tunnel</translation>
    </message>
    <message>
        <source>Language, startup, taskbar and notifications.</source>
        <translation>Lingua, avvio, barra delle applicazioni e notifiche.</translation>
    </message>
    <message>
        <source>How Burrowlight runs the system&apos;s ssh.</source>
        <translation>Come Burrowlight avvia il client ssh del sistema.</translation>
    </message>
    <message>
        <source>Import, export and where tunnels are kept.</source>
        <translation>Importazione, esportazione e dove sono conservati i tunnel.</translation>
    </message>
</context>
<context>
    <name>Sidebar</name>
    <message>
        <source>Connect All in Tag</source>
        <translation>Connetti tutti con l’etichetta</translation>
    </message>
    <message>
        <source>Disconnect All in Tag</source>
        <translation>Disconnetti tutti con l’etichetta</translation>
    </message>
    <message>
        <source>Rename Tag…</source>
        <translation>Rinomina etichetta…</translation>
    </message>
    <message>
        <source>Delete Tag</source>
        <translation>Elimina etichetta</translation>
    </message>
    <message>
        <source>Rename Tag</source>
        <translation>Rinomina etichetta</translation>
    </message>
    <message>
        <source>Tag Name</source>
        <translation>Nome dell’etichetta</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Rinomina</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>All Tunnels</source>
        <translation>Tutti i tunnel</translation>
    </message>
    <message>
        <source>Pinned</source>
        <translation>Fissati</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connessi</translation>
    </message>
    <message>
        <source>Untagged</source>
        <translation>Senza etichetta</translation>
    </message>
    <message>
        <source>Recently Deleted</source>
        <translation>Eliminati di recente</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Etichette</translation>
    </message>
</context>
<context>
    <name>StandInForwards</name>
    <message>
        <source>Forwards</source>
        <translation>Inoltri</translation>
    </message>
    <message>
        <source>No forwards. The tunnel only keeps the connection open.</source>
        <translation>Nessun inoltro. Il tunnel si limita a tenere aperta la connessione.</translation>
    </message>
</context>
<context>
    <name>SystemError</name>
    <message>
        <source>no such file or folder</source>
        <translation>il file o la cartella non esiste</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>permesso negato</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>il disco è pieno</translation>
    </message>
    <message>
        <source>the disk is read-only</source>
        <translation>il disco è di sola lettura</translation>
    </message>
    <message>
        <source>a part of the path isn&apos;t a folder</source>
        <translation>una parte del percorso non è una cartella</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>è una cartella</translation>
    </message>
    <message>
        <source>the name is too long</source>
        <translation>il nome è troppo lungo</translation>
    </message>
    <message>
        <source>too many symbolic links</source>
        <translation>troppi collegamenti simbolici</translation>
    </message>
    <message>
        <source>too many open files</source>
        <translation>troppi file aperti</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>memoria insufficiente</translation>
    </message>
    <message>
        <source>input/output error</source>
        <translation>errore di input/output</translation>
    </message>
    <message>
        <source>the system is busy, try again</source>
        <translation>il sistema è occupato, riprova</translation>
    </message>
    <message>
        <source>it isn&apos;t a program this system can run</source>
        <translation>non è un programma che questo sistema può eseguire</translation>
    </message>
    <message>
        <source>system error %1 (%2)</source>
        <translation>errore di sistema %1 (%2)</translation>
    </message>
</context>
<context>
    <name>TrayMenu</name>
    <message>
        <source>Open %1</source>
        <translation>Apri %1</translation>
    </message>
    <message>
        <source>Quit %1</source>
        <translation>Esci da %1</translation>
    </message>
    <message>
        <source>Terms of Use…</source>
        <translation>Condizioni d’uso…</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Etichette</translation>
    </message>
    <message>
        <source>Connect All</source>
        <translation>Connetti tutti</translation>
    </message>
    <message>
        <source>Disconnect All</source>
        <translation>Disconnetti tutti</translation>
    </message>
    <message>
        <source>New Tunnel…</source>
        <translation>Nuovo tunnel…</translation>
    </message>
    <message>
        <source>All Tunnels…</source>
        <translation>Tutti i tunnel…</translation>
    </message>
    <message>
        <source>Install Update…</source>
        <translation>Installa aggiornamento…</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Impostazioni…</translation>
    </message>
    <message>
        <source>Check for Updates…</source>
        <translation>Controlla aggiornamenti…</translation>
    </message>
    <message>
        <source>Buy Me a Coffee</source>
        <translation>Offrimi un caffè</translation>
    </message>
    <message>
        <source>Report a Problem…</source>
        <translation>Segnala un problema…</translation>
    </message>
</context>
<context>
    <name>Tunnel</name>
    <message>
        <source>Untitled Tunnel</source>
        <translation>Tunnel senza nome</translation>
    </message>
    <message>
        <source>No forwards</source>
        <translation>Nessun inoltro</translation>
    </message>
    <message numerus="yes">
        <source>%n forwards</source>
        <translation>
            <numerusform>%n inoltro</numerusform>
            <numerusform>%n inoltri</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TunnelActions</name>
    <message>
        <source>Delete “%1” permanently?</source>
        <translation>Eliminare definitivamente “%1”?</translation>
    </message>
    <message numerus="yes">
        <source>Delete %n tunnels permanently?</source>
        <translation>
            <numerusform>Eliminare definitivamente %n tunnel?</numerusform>
            <numerusform>Eliminare definitivamente %n tunnel?</numerusform>
        </translation>
    </message>
    <message>
        <source>Their saved passwords are removed from the keyring too. You can&apos;t undo this action.</source>
        <translation>Anche le password salvate vengono rimosse dal portachiavi. Non puoi annullare questa azione.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Elimina</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>The tunnel couldn&apos;t be exported.</source>
        <translation>Non è stato possibile esportare il tunnel.</translation>
    </message>
    <message>
        <source>The tunnels couldn&apos;t be exported.</source>
        <translation>Non è stato possibile esportare i tunnel.</translation>
    </message>
    <message>
        <source>%1 Copy</source>
        <translation>%1 (copia)</translation>
    </message>
    <message>
        <source>Tunnels</source>
        <translation>Tunnel</translation>
    </message>
    <message>
        <source>New Tag</source>
        <translation>Nuova etichetta</translation>
    </message>
    <message>
        <source>Tag Name</source>
        <translation>Nome dell’etichetta</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Aggiungi</translation>
    </message>
</context>
<context>
    <name>TunnelDetail</name>
    <message>
        <source>New Tunnel</source>
        <translation>Nuovo tunnel</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnetti</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connetti</translation>
    </message>
    <message>
        <source>Save the changes first.</source>
        <translation>Prima salva le modifiche.</translation>
    </message>
    <message>
        <source>Write the server&apos;s name, address or alias.</source>
        <translation>Scrivi il nome, l’indirizzo o l’alias del server.</translation>
    </message>
    <message>
        <source>Empty fields leave the choice to ssh and to ~/.ssh/config.</source>
        <translation>I campi vuoti lasciano la scelta a ssh e a ~/.ssh/config.</translation>
    </message>
    <message numerus="yes">
        <source>Retrying in %n s</source>
        <translation>
            <numerusform>Nuovo tentativo tra %n s</numerusform>
            <numerusform>Nuovo tentativo tra %n s</numerusform>
        </translation>
    </message>
    <message>
        <source>Connected since %1</source>
        <translation>Connesso dalle %1</translation>
    </message>
    <message>
        <source>from config: %1</source>
        <translation>dalla configurazione: %1</translation>
    </message>
    <message>
        <source>default: %1</source>
        <translation>predefinito: %1</translation>
    </message>
    <message>
        <source>New tunnel, not saved yet</source>
        <translation>Nuovo tunnel, non ancora salvato</translation>
    </message>
    <message>
        <source>Unsaved Changes</source>
        <translation>Modifiche non salvate</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salva</translation>
    </message>
    <message>
        <source>Save and Reconnect</source>
        <translation>Salva e riconnetti</translation>
    </message>
</context>
<context>
    <name>TunnelList</name>
    <message>
        <source>Restore</source>
        <translation>Ripristina</translation>
    </message>
    <message>
        <source>Delete Permanently…</source>
        <translation>Elimina definitivamente…</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connetti</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnetti</translation>
    </message>
    <message>
        <source>Edit…</source>
        <translation>Modifica…</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplica</translation>
    </message>
    <message>
        <source>Copy SSH Command</source>
        <translation>Copia comando SSH</translation>
    </message>
    <message>
        <source>Pin</source>
        <translation>Fissa</translation>
    </message>
    <message>
        <source>Unpin</source>
        <translation>Togli dai fissati</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Etichette</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Esporta…</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>Sposta nel cestino</translation>
    </message>
    <message>
        <source>New Tag…</source>
        <translation>Nuova etichetta…</translation>
    </message>
    <message>
        <source>No Results for “%1”</source>
        <translation>Nessun risultato per “%1”</translation>
    </message>
    <message>
        <source>Check the spelling or try a new search.</source>
        <translation>Controlla l’ortografia o prova un’altra ricerca.</translation>
    </message>
    <message>
        <source>No Pinned Tunnels</source>
        <translation>Nessun tunnel fissato</translation>
    </message>
    <message>
        <source>Pinned tunnels come first here and in the tray menu.</source>
        <translation>I tunnel fissati vengono per primi qui e nel menu dell’area di notifica.</translation>
    </message>
    <message>
        <source>No Tunnels Connected</source>
        <translation>Nessun tunnel connesso</translation>
    </message>
    <message>
        <source>No Deleted Tunnels</source>
        <translation>Nessun tunnel eliminato</translation>
    </message>
    <message>
        <source>No Tunnels</source>
        <translation>Nessun tunnel</translation>
    </message>
    <message>
        <source>Create a tunnel with +, or import the hosts of ~/.ssh/config or a file.</source>
        <translation>Crea un tunnel con +, o importa gli host di ~/.ssh/config o un file.</translation>
    </message>
    <message>
        <source>Tunnels stay here for 30 days, then they are deleted for good.</source>
        <translation>I tunnel restano qui per 30 giorni, poi vengono eliminati per sempre.</translation>
    </message>
    <message>
        <source>Pinned tunnels come first here.</source>
        <translation>I tunnel fissati vengono per primi qui.</translation>
    </message>
</context>
<context>
    <name>TunnelProblem</name>
    <message>
        <source>Couldn&apos;t start ssh: %1</source>
        <translation>Impossibile avviare ssh: %1</translation>
    </message>
    <message>
        <source>ssh stopped unexpectedly (status %1).</source>
        <translation>ssh si è interrotto in modo imprevisto (codice di uscita %1).</translation>
    </message>
    <message>
        <source>The question from ssh was cancelled.</source>
        <translation>La domanda di ssh è stata annullata.</translation>
    </message>
</context>
<context>
    <name>TunnelRow</name>
    <message>
        <source>Deleted %1</source>
        <translation>Eliminato %1</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnetti</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connetti</translation>
    </message>
    <message>
        <source>New Tunnel</source>
        <translation>Nuovo tunnel</translation>
    </message>
    <message>
        <source>not saved yet</source>
        <translation>non ancora salvato</translation>
    </message>
    <message>
        <source>Pinned</source>
        <translation>Fissato</translation>
    </message>
    <message>
        <source>Unsaved Changes</source>
        <translation>Modifiche non salvate</translation>
    </message>
</context>
<context>
    <name>TunnelState</name>
    <message>
        <source>Connected</source>
        <translation>Connesso</translation>
    </message>
    <message numerus="yes">
        <source>Retrying (attempt %n)</source>
        <translation>
            <numerusform>Nuovo tentativo (%n)</numerusform>
            <numerusform>Nuovo tentativo (%n)</numerusform>
        </translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>Non connesso</translation>
    </message>
    <message>
        <source>Connecting…</source>
        <translation>Connessione…</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Non riuscito</translation>
    </message>
    <message>
        <source>Disconnecting…</source>
        <translation>Disconnessione…</translation>
    </message>
</context>
<context>
    <name>TunnelsFile</name>
    <message>
        <source>The tunnels couldn&apos;t be read</source>
        <translation>Impossibile leggere i tunnel</translation>
    </message>
    <message>
        <source>The tunnels file is left as it is, and nothing is saved until it can be read: changes made now are lost when you quit. If you opened an older version of the app, quit it and open the newer one.</source>
        <translation>Il file dei tunnel resta com’è e non viene salvato nulla finché non si può leggere: le modifiche fatte ora andranno perse quando esci. Se hai aperto una versione precedente dell’app, chiudila e apri quella più recente.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Show in Files</source>
        <translation>Mostra in File</translation>
    </message>
</context>
<context>
    <name>burrowlight::AboutWindow</name>
    <message>
        <source>About %1</source>
        <translation>Informazioni su %1</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Riconoscimenti</translation>
    </message>
</context>
<context>
    <name>burrowlight::AddForwardButtons</name>
    <message>
        <source>Add Local Forward</source>
        <translation>Aggiungi inoltro locale</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Altro</translation>
    </message>
    <message>
        <source>Add Forward</source>
        <translation>Aggiungi inoltro</translation>
    </message>
</context>
<context>
    <name>burrowlight::AdvancedFields</name>
    <message>
        <source>user@bastion:22, …</source>
        <translation>utente@bastion:22, …</translation>
    </message>
    <message>
        <source>Jump Hosts</source>
        <translation>Host di salto</translation>
    </message>
    <message>
        <source>Private Key</source>
        <translation>Chiave privata</translation>
    </message>
    <message>
        <source>From SSH agent or config</source>
        <translation>Dall’agente SSH o dalla configurazione</translation>
    </message>
    <message>
        <source>Certificate</source>
        <translation>Certificato</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Nessuno</translation>
    </message>
    <message>
        <source>Passwords and passphrases are asked for when needed, and can be remembered in the keyring. The private key is for the server: jump hosts take theirs from ~/.ssh/config.</source>
        <translation>Password e passphrase vengono chieste quando servono e possono essere ricordate nel portachiavi. La chiave privata è per il server: gli host di salto prendono la loro da ~/.ssh/config.</translation>
    </message>
    <message>
        <source>Separated by commas</source>
        <translation>Separate da virgole</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Etichette</translation>
    </message>
    <message>
        <source>Pin to the top and the tray</source>
        <translation>Fissa in cima e nell’area di notifica</translation>
    </message>
    <message>
        <source>Connect when Burrowlight opens</source>
        <translation>Connetti all’apertura di Burrowlight</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Connessione</translation>
    </message>
    <message>
        <source>Log File</source>
        <translation>File di registro</translation>
    </message>
    <message>
        <source>Passed to ssh as -o Name=Value, ahead of ~/.ssh/config.</source>
        <translation>Passate a ssh come -o Nome=Valore; hanno la precedenza su ~/.ssh/config.</translation>
    </message>
    <message>
        <source>SSH Options</source>
        <translation>Opzioni SSH</translation>
    </message>
    <message>
        <source>What this tunnel is for</source>
        <translation>A cosa serve questo tunnel</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Nota</translation>
    </message>
    <message>
        <source>Reconnect after failures</source>
        <translation>Riconnetti in caso di errore</translation>
    </message>
    <message>
        <source>Attempts</source>
        <translation>Tentativi</translation>
    </message>
    <message>
        <source>Saved in keyring</source>
        <translation>Salvata nel portachiavi</translation>
    </message>
    <message>
        <source>Forget</source>
        <translation>Dimentica</translation>
    </message>
    <message>
        <source>Pin to the top</source>
        <translation>Fissa in cima</translation>
    </message>
</context>
<context>
    <name>burrowlight::AppActions</name>
    <message>
        <source>New Tunnel</source>
        <translation>Nuovo tunnel</translation>
    </message>
    <message>
        <source>Import from SSH Config…</source>
        <translation>Importa dalla configurazione di ssh…</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Impostazioni…</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Informazioni su %1</translation>
    </message>
    <message>
        <source>Check for Updates…</source>
        <translation>Controlla aggiornamenti…</translation>
    </message>
    <message>
        <source>Quit %1</source>
        <translation>Esci da %1</translation>
    </message>
    <message>
        <source>Connect All</source>
        <translation>Connetti tutti</translation>
    </message>
    <message>
        <source>Disconnect All</source>
        <translation>Disconnetti tutti</translation>
    </message>
    <message>
        <source>%1 Help</source>
        <translation>Guida di %1</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Privacy</translation>
    </message>
    <message>
        <source>Terms of Use</source>
        <translation>Condizioni d’uso</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Tunnels</source>
        <translation>&amp;Tunnel</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aiuto</translation>
    </message>
    <message>
        <source>Report a Problem…</source>
        <translation>Segnala un problema…</translation>
    </message>
    <message>
        <source>Buy Me a Coffee</source>
        <translation>Offrimi un caffè</translation>
    </message>
</context>
<context>
    <name>burrowlight::DetailHeader</name>
    <message>
        <source>Tunnel Name</source>
        <translation>Nome del tunnel</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Utente</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Porta</translation>
    </message>
</context>
<context>
    <name>burrowlight::FileField</name>
    <message>
        <source>Choose…</source>
        <translation>Scegli…</translation>
    </message>
</context>
<context>
    <name>burrowlight::ForwardEditorRow</name>
    <message>
        <source>An empty destination address means localhost. For a Unix socket choose Unix Socket, or type a path starting with / or ~/.</source>
        <translation>Un indirizzo di destinazione vuoto significa localhost. Per un socket Unix scegli Socket Unix, o scrivi un percorso che inizia con / o ~/.</translation>
    </message>
    <message>
        <source>port</source>
        <translation>porta</translation>
    </message>
    <message>
        <source>Destination chosen by the app</source>
        <translation>Destinazione scelta dall’app</translation>
    </message>
    <message>
        <source>Name (optional)</source>
        <translation>Nome (facoltativo)</translation>
    </message>
    <message>
        <source>Forward Name</source>
        <translation>Nome dell’inoltro</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Attivo</translation>
    </message>
    <message>
        <source>Open in Browser</source>
        <translation>Apri nel browser</translation>
    </message>
    <message>
        <source>Copy Address</source>
        <translation>Copia indirizzo</translation>
    </message>
    <message>
        <source>Remove Forward</source>
        <translation>Rimuovi inoltro</translation>
    </message>
    <message>
        <source>Who Can Connect</source>
        <translation>Chi può connettersi</translation>
    </message>
    <message>
        <source>Copy %1</source>
        <translation>Copia %1</translation>
    </message>
    <message>
        <source>Open %1 in the browser</source>
        <translation>Apri %1 nel browser</translation>
    </message>
    <message>
        <source>port here</source>
        <translation>porta qui</translation>
    </message>
    <message>
        <source>server port</source>
        <translation>porta del server</translation>
    </message>
    <message>
        <source>localhost (from the server)</source>
        <translation>localhost (dal server)</translation>
    </message>
    <message>
        <source>localhost (from this computer)</source>
        <translation>localhost (da questo computer)</translation>
    </message>
</context>
<context>
    <name>burrowlight::ForwardRow</name>
    <message>
        <source>Open in Browser</source>
        <translation>Apri nel browser</translation>
    </message>
    <message>
        <source>Open %1 in the browser</source>
        <translation>Apri %1 nel browser</translation>
    </message>
    <message>
        <source>Copy Address</source>
        <translation>Copia indirizzo</translation>
    </message>
    <message>
        <source>Copy %1</source>
        <translation>Copia %1</translation>
    </message>
</context>
<context>
    <name>burrowlight::ForwardRowModel</name>
    <message>
        <source>Localhost Only</source>
        <translation>Solo localhost</translation>
    </message>
    <message>
        <source>Whole Network</source>
        <translation>Tutta la rete</translation>
    </message>
    <message>
        <source>Specific Address…</source>
        <translation>Indirizzo specifico…</translation>
    </message>
    <message>
        <source>Unix Socket</source>
        <translation>Socket Unix</translation>
    </message>
    <message>
        <source>Other computers on the network can connect to this port too.</source>
        <translation>Anche gli altri computer della rete possono connettersi a questa porta.</translation>
    </message>
    <message>
        <source>Works if the server has GatewayPorts on; otherwise it listens on localhost only.</source>
        <translation>Funziona se il server ha GatewayPorts attivo; altrimenti resta in ascolto solo su localhost.</translation>
    </message>
    <message>
        <source>Connect to %1 on this computer to reach %2 as if you were on the server.</source>
        <translation>Connettiti a %1 su questo computer per raggiungere %2 come se fossi sul server.</translation>
    </message>
    <message>
        <source>Connections to %1 on the server reach %2 on this computer.</source>
        <translation>Le connessioni a %1 sul server raggiungono %2 su questo computer.</translation>
    </message>
    <message>
        <source>Use %1 as a SOCKS proxy: connections leave from the server.</source>
        <translation>Usa %1 come proxy SOCKS: le connessioni partono dal server.</translation>
    </message>
    <message>
        <source>On the server, %1 is a SOCKS proxy: connections leave from this computer.</source>
        <translation>Sul server, %1 è un proxy SOCKS: le connessioni partono da questo computer.</translation>
    </message>
</context>
<context>
    <name>burrowlight::GeneralSettingsModel</name>
    <message>
        <source>Same as the system</source>
        <translation>Lingua del sistema</translation>
    </message>
    <message>
        <source>Burrowlight changes language when it relaunches.</source>
        <translation>Burrowlight cambia lingua quando si riavvia.</translation>
    </message>
    <message>
        <source>Connected tunnels disconnect. Those set to connect when Burrowlight opens come back on.</source>
        <translation>I tunnel connessi si disconnettono. Quelli impostati per connettersi all’apertura di Burrowlight si riattivano.</translation>
    </message>
    <message>
        <source>Couldn&apos;t change the login item: %1</source>
        <translation>Impossibile cambiare l’apertura all’accesso: %1</translation>
    </message>
</context>
<context>
    <name>burrowlight::GeneralSettingsPane</name>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>Relaunch Now</source>
        <translation>Riavvia ora</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Avvio</translation>
    </message>
    <message>
        <source>Open at login</source>
        <translation>Apri all’accesso</translation>
    </message>
    <message>
        <source>Show in the taskbar</source>
        <translation>Mostra nella barra delle applicazioni</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Aspetto</translation>
    </message>
    <message>
        <source>Burrowlight is always in the tray. Without the taskbar entry, the window opens from there.</source>
        <translation>Burrowlight è sempre nell’area di notifica. Senza la voce nella barra delle applicazioni, la finestra si apre da lì.</translation>
    </message>
    <message>
        <source>Notify when a tunnel connects, drops or fails</source>
        <translation>Avvisa quando un tunnel si connette, si interrompe o non riesce a connettersi</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notifiche</translation>
    </message>
    <message>
        <source>Check for updates automatically</source>
        <translation>Controlla automaticamente gli aggiornamenti</translation>
    </message>
    <message>
        <source>Check Now</source>
        <translation>Controlla ora</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Aggiornamenti</translation>
    </message>
    <message>
        <source>Once a day Burrowlight downloads the list of versions from Tolvan. The request carries the versions of the app and of the updates library, and the app&apos;s language.</source>
        <translation>Una volta al giorno Burrowlight scarica da Tolvan l’elenco delle versioni. La richiesta contiene le versioni dell’app e della libreria degli aggiornamenti, e la lingua dell’app.</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Applicazione</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Versione</translation>
    </message>
    <message>
        <source>Burrowlight is free. If you&apos;d like to support the project and help us keep it maintained, you can buy us a coffee.</source>
        <translation>Burrowlight è gratuito. Se vuoi sostenere il progetto e aiutarci a mantenerlo aggiornato, puoi offrirci un caffè.</translation>
    </message>
    <message>
        <source>This desktop shows no tray: the window opens at launch, and Burrowlight keeps the tunnels up while it is closed. Opening Burrowlight again shows the window.</source>
        <translation>Questo desktop non ha un’area di notifica: la finestra si apre quando Burrowlight si avvia, e Burrowlight mantiene attivi i tunnel anche quando è chiusa. Riapri Burrowlight per mostrare di nuovo la finestra.</translation>
    </message>
</context>
<context>
    <name>burrowlight::HostField</name>
    <message>
        <source>name, address or alias</source>
        <translation>nome, indirizzo o alias</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>Hosts in ~/.ssh/config</source>
        <translation>Host in ~/.ssh/config</translation>
    </message>
</context>
<context>
    <name>burrowlight::ImportProgressWindow</name>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Reading “%1”…</source>
        <translation>Lettura di “%1”…</translation>
    </message>
</context>
<context>
    <name>burrowlight::LogCard</name>
    <message>
        <source>Log</source>
        <translation>Registro</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Dettagli</translation>
    </message>
    <message>
        <source>Also show ssh&apos;s debug lines</source>
        <translation>Mostra anche le righe di debug di ssh</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copia</translation>
    </message>
    <message>
        <source>Copy Log</source>
        <translation>Copia registro</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Svuota</translation>
    </message>
    <message>
        <source>Clear Log</source>
        <translation>Svuota registro</translation>
    </message>
    <message>
        <source>Nothing yet. ssh&apos;s messages appear here while the tunnel runs.</source>
        <translation>Ancora niente. I messaggi di ssh compaiono qui mentre il tunnel è attivo.</translation>
    </message>
</context>
<context>
    <name>burrowlight::OnboardingWindow</name>
    <message>
        <source>Welcome to Burrowlight</source>
        <translation>Benvenuto in Burrowlight</translation>
    </message>
    <message>
        <source>Your SSH tunnels, one click away in the tray. Burrowlight runs the system&apos;s ssh and keeps the tunnels up when the network changes.</source>
        <translation>I tuoi tunnel SSH, a un clic di distanza nell’area di notifica. Burrowlight usa il client ssh del sistema e mantiene attivi i tunnel quando la rete cambia.</translation>
    </message>
    <message>
        <source>Import from SSH Config…</source>
        <translation>Importa dalla configurazione di ssh…</translation>
    </message>
    <message>
        <source>Bring Your Hosts</source>
        <translation>Importa i tuoi host</translation>
    </message>
    <message>
        <source>Add the hosts of ~/.ssh/config as tunnels, with their forwards.</source>
        <translation>Aggiungi gli host di ~/.ssh/config come tunnel, con i loro inoltri.</translation>
    </message>
    <message>
        <source>New Tunnel…</source>
        <translation>Nuovo tunnel…</translation>
    </message>
    <message>
        <source>Create a Tunnel</source>
        <translation>Crea un tunnel</translation>
    </message>
    <message>
        <source>Choose a server and the ports to forward.</source>
        <translation>Scegli un server e le porte da inoltrare.</translation>
    </message>
    <message>
        <source>Allow…</source>
        <translation>Consenti…</translation>
    </message>
    <message>
        <source>Allowed</source>
        <translation>Consentite</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notifiche</translation>
    </message>
    <message>
        <source>Know when a tunnel connects, drops or fails.</source>
        <translation>Ricevi un avviso quando un tunnel si connette, si interrompe o non riesce a connettersi.</translation>
    </message>
    <message>
        <source>Open at login</source>
        <translation>Apri all’accesso</translation>
    </message>
    <message>
        <source>Open at Login</source>
        <translation>Apri all’accesso</translation>
    </message>
    <message>
        <source>Tunnels set to connect at launch come up when you sign in.</source>
        <translation>I tunnel impostati per connettersi all’apertura di Burrowlight si attivano quando accedi.</translation>
    </message>
    <message>
        <source>Burrowlight stays in the tray, also when this window is closed.</source>
        <translation>Burrowlight resta nell’area di notifica, anche quando questa finestra è chiusa.</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Continua</translation>
    </message>
    <message>
        <source>Your SSH tunnels, one click away. Burrowlight runs the system&apos;s ssh and keeps the tunnels up when the network changes.</source>
        <translation>I tuoi tunnel SSH, a un clic di distanza. Burrowlight usa il client ssh del sistema e mantiene attivi i tunnel quando la rete cambia.</translation>
    </message>
    <message>
        <source>Burrowlight keeps the tunnels up while its window is closed. Opening Burrowlight again shows the window.</source>
        <translation>Burrowlight mantiene attivi i tunnel anche quando la sua finestra è chiusa. Riapri Burrowlight per mostrare di nuovo la finestra.</translation>
    </message>
</context>
<context>
    <name>burrowlight::OptionHelp</name>
    <message>
        <source>This option isn&apos;t described in the manual installed on this computer.</source>
        <translation>Questa opzione non è descritta nel manuale installato su questo computer.</translation>
    </message>
    <message>
        <source>From the OpenSSH manual on this computer, in English.</source>
        <translation>Dal manuale di OpenSSH su questo computer, in inglese.</translation>
    </message>
    <message>
        <source>Full Manual</source>
        <translation>Manuale completo</translation>
    </message>
</context>
<context>
    <name>burrowlight::OptionsList</name>
    <message>
        <source>Add Option</source>
        <translation>Aggiungi opzione</translation>
    </message>
    <message>
        <source>Runs a program on this computer</source>
        <translation>Esegue un programma su questo computer</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Valore</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Informazioni su %1</translation>
    </message>
    <message>
        <source>%1 in the OpenSSH manual</source>
        <translation>%1 nel manuale di OpenSSH</translation>
    </message>
    <message>
        <source>Remove Option</source>
        <translation>Rimuovi opzione</translation>
    </message>
</context>
<context>
    <name>burrowlight::ProblemBanner</name>
    <message>
        <source>Try Now</source>
        <translation>Riprova ora</translation>
    </message>
</context>
<context>
    <name>burrowlight::SSHConfigImportSheet</name>
    <message>
        <source>Import from SSH Config</source>
        <translation>Importa dalla configurazione di ssh</translation>
    </message>
    <message>
        <source>Burrowlight doesn&apos;t read ~/.ssh/config</source>
        <translation>Burrowlight non legge ~/.ssh/config</translation>
    </message>
    <message>
        <source>Imported tunnels use the aliases, which only work with Read ~/.ssh/config on.</source>
        <translation>I tunnel importati usano gli alias, che funzionano solo con Leggi ~/.ssh/config attivo.</translation>
    </message>
    <message>
        <source>Turn On</source>
        <translation>Attiva</translation>
    </message>
    <message>
        <source>Hosts in ~/.ssh/config</source>
        <translation>Host in ~/.ssh/config</translation>
    </message>
    <message>
        <source>Reading ~/.ssh/config…</source>
        <translation>Lettura di ~/.ssh/config…</translation>
    </message>
    <message>
        <source>No hosts found in ~/.ssh/config. Patterns such as Host * name no single server.</source>
        <translation>Nessun host trovato in ~/.ssh/config. Gli schemi come Host * non indicano un singolo server.</translation>
    </message>
    <message>
        <source>Each host becomes a tunnel that uses its alias: ssh keeps reading its settings and forwards from ~/.ssh/config. Hosts with forwards are selected.</source>
        <translation>Ogni host diventa un tunnel che usa il suo alias: ssh continua a leggerne impostazioni e inoltri da ~/.ssh/config. Gli host con inoltri sono selezionati.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importa</translation>
    </message>
</context>
<context>
    <name>burrowlight::SSHSettingsPane</name>
    <message>
        <source>Read ~/.ssh/config</source>
        <translation>Leggi ~/.ssh/config</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configurazione</translation>
    </message>
    <message>
        <source>Hosts, keys and options from ~/.ssh/config and /etc/ssh/ssh_config also apply to tunnels; a tunnel&apos;s own settings come first. Connected tunnels use the change when they reconnect.</source>
        <translation>Host, chiavi e opzioni di ~/.ssh/config e /etc/ssh/ssh_config valgono anche per i tunnel; le impostazioni del tunnel hanno la precedenza. I tunnel connessi applicano la modifica quando si riconnettono.</translation>
    </message>
    <message>
        <source>Show in Files</source>
        <translation>Mostra in File</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>Programma</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Versione</translation>
    </message>
    <message>
        <source>Known hosts</source>
        <translation>Host conosciuti</translation>
    </message>
</context>
<context>
    <name>burrowlight::SettingsWindow</name>
    <message>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Sections</source>
        <translation>Sezioni</translation>
    </message>
</context>
<context>
    <name>burrowlight::StatusNotifier</name>
    <message>
        <source>Couldn&apos;t connect.</source>
        <translation>Impossibile connettersi.</translation>
    </message>
    <message>
        <source>Connection lost, reconnecting…</source>
        <translation>Connessione persa, nuovo tentativo…</translation>
    </message>
    <message>
        <source>Connected. %1</source>
        <translation>Connesso. %1</translation>
    </message>
</context>
<context>
    <name>burrowlight::TermsWindow</name>
    <message>
        <source>I have read and accept the terms of use.</source>
        <translation>Ho letto e accetto le condizioni d’uso.</translation>
    </message>
    <message>
        <source>I specifically approve the Warranty and Liability section (articles 1341 and 1342 of the Italian Civil Code).</source>
        <translation>Approvo specificamente la sezione Garanzia e responsabilità (articoli 1341 e 1342 del Codice civile).</translation>
    </message>
    <message>
        <source>Terms of Use</source>
        <translation>Condizioni d’uso</translation>
    </message>
    <message>
        <source>Burrowlight is free. Before you use it, read and accept the terms of use.</source>
        <translation>Burrowlight è gratuito. Prima di usarlo, leggi e accetta le condizioni d’uso.</translation>
    </message>
    <message>
        <source>Read the Terms of Use</source>
        <translation>Leggi le condizioni d’uso</translation>
    </message>
    <message>
        <source>Warranty and Liability</source>
        <translation>Garanzia e responsabilità</translation>
    </message>
    <message>
        <source>Burrowlight is distributed for free in the hope that it will be useful, but as is and without warranties. We aren&apos;t liable for damages arising from its use, including data loss and interruptions. This exclusion applies to the extent permitted by law and doesn&apos;t affect your rights as a consumer.</source>
        <translation>Burrowlight è distribuito gratuitamente nella speranza che sia utile, ma così com’è e senza garanzie. Non siamo responsabili dei danni derivanti dal suo uso, comprese la perdita di dati e le interruzioni. Questa esclusione si applica nei limiti consentiti dalla legge e non pregiudica i tuoi diritti di consumatore.</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Esci</translation>
    </message>
    <message>
        <source>Accept</source>
        <translation>Accetta</translation>
    </message>
</context>
<context>
    <name>burrowlight::TipButton</name>
    <message>
        <source>Buy Me a Coffee</source>
        <translation>Offrimi un caffè</translation>
    </message>
    <message>
        <source>Buy me a coffee: leave a tip on Ko-fi</source>
        <translation>Offrimi un caffè: lascia una mancia su Ko-fi</translation>
    </message>
</context>
<context>
    <name>burrowlight::TipPromptPanel</name>
    <message>
        <source>Thank you for using %1</source>
        <translation>Grazie di usare %1</translation>
    </message>
    <message>
        <source>%1 is free. If you find it useful, you can support the project by buying me a coffee.</source>
        <translation>%1 è gratuito. Se ti è utile, puoi sostenere il progetto offrendomi un caffè.</translation>
    </message>
    <message>
        <source>Opens Ko-fi in your browser.</source>
        <translation>Apre Ko-fi nel browser.</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Non ora</translation>
    </message>
</context>
<context>
    <name>burrowlight::TrashedTunnelPage</name>
    <message>
        <source>Restore</source>
        <translation>Ripristina</translation>
    </message>
    <message>
        <source>Forwards</source>
        <translation>Inoltri</translation>
    </message>
    <message>
        <source>No forwards. The tunnel only keeps the connection open.</source>
        <translation>Nessun inoltro. Il tunnel si limita a tenere aperta la connessione.</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Nota</translation>
    </message>
</context>
<context>
    <name>burrowlight::TunnelDraft</name>
    <message>
        <source>New Tunnel</source>
        <translation>Nuovo tunnel</translation>
    </message>
    <message>
        <source>key %1</source>
        <translation>chiave %1</translation>
    </message>
    <message>
        <source>via %1</source>
        <translation>tramite %1</translation>
    </message>
    <message>
        <source>tags %1</source>
        <translation>etichette %1</translation>
    </message>
    <message>
        <source>pinned</source>
        <translation>fissato</translation>
    </message>
    <message>
        <source>connects at launch</source>
        <translation>si connette all’apertura</translation>
    </message>
    <message>
        <source>doesn&apos;t retry</source>
        <translation>non riprova</translation>
    </message>
    <message numerus="yes">
        <source>SSH options: %n</source>
        <translation>
            <numerusform>opzioni SSH: %n</numerusform>
            <numerusform>opzioni SSH: %n</numerusform>
        </translation>
    </message>
    <message>
        <source>note</source>
        <translation>nota</translation>
    </message>
    <message>
        <source>key from the SSH agent or config, no jump hosts</source>
        <translation>chiave dall’agente SSH o dalla configurazione, nessun host di salto</translation>
    </message>
    <message>
        <source>The port must be a number.</source>
        <translation>La porta deve essere un numero.</translation>
    </message>
</context>
<context>
    <name>burrowlight::TunnelsSettingsModel</name>
    <message>
        <source>Tunnels</source>
        <translation>Tunnel</translation>
    </message>
    <message>
        <source>Couldn&apos;t read the tunnels: %1 Nothing is saved until the file can be read.</source>
        <translation>Impossibile leggere i tunnel: %1 Non viene salvato nulla finché il file non si può leggere.</translation>
    </message>
    <message>
        <source>Couldn&apos;t save the tunnels: %1</source>
        <translation>Impossibile salvare i tunnel: %1</translation>
    </message>
</context>
<context>
    <name>burrowlight::TunnelsSettingsPane</name>
    <message>
        <source>Import Tunnels</source>
        <translation>Importa tunnel</translation>
    </message>
    <message>
        <source>Burrowlight tunnels (*.burrowlight *.json)</source>
        <translation>Tunnel di Burrowlight (*.burrowlight *.json)</translation>
    </message>
    <message>
        <source>Export All Tunnels</source>
        <translation>Esporta tutti i tunnel</translation>
    </message>
    <message>
        <source>Burrowlight tunnels (*.burrowlight)</source>
        <translation>Tunnel di Burrowlight (*.burrowlight)</translation>
    </message>
    <message>
        <source>From SSH Config…</source>
        <translation>Dalla configurazione di ssh…</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importa…</translation>
    </message>
    <message>
        <source>Export All…</source>
        <translation>Esporta tutti…</translation>
    </message>
    <message>
        <source>Import and Export</source>
        <translation>Importazione ed esportazione</translation>
    </message>
    <message>
        <source>Exported files hold the tunnels&apos; settings, never passwords or keys.</source>
        <translation>I file esportati contengono le impostazioni dei tunnel, mai password o chiavi.</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importa</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Esporta</translation>
    </message>
    <message>
        <source>Show in Files</source>
        <translation>Mostra in File</translation>
    </message>
    <message>
        <source>Storage</source>
        <translation>Dati</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Cartella</translation>
    </message>
</context>
<context>
    <name>burrowlight::UnsavedBar</name>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
</context>
</TS>
